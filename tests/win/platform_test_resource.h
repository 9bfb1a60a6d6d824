// Dialog templates of the framework tests.
#pragma once

#define IDD_TEST_PLAIN 200   // hidden, at 0,0: centred by the framework
#define IDD_TEST_PLACED 201  // at 10,10: left where the template puts it
#define IDD_TEST_CENTER 202  // DS_CENTER: the platform centres it, not the framework
#define IDD_TEST_MODAL 203   // a modal box with an OK button
#define IDD_TEST_MISSING 299 // no such template
