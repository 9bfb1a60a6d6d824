// The program's own texts, as UTF-8, for the editions that have no resource script.
// They are the resources' texts exactly; the Windows tests compare the two.
#pragma once

namespace sorvel::texts {

inline constexpr char kTitle[] = "Sorvel";
inline constexpr char kAboutCaption[] = "Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831";
inline constexpr char kAboutMenuItem[] = "Sorvel \u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831(&A)...";
inline constexpr char kAboutVersion[] = "Sorvel Version 0.1";
inline constexpr char kAboutAuthor[] = "Copyright (C) 2026 Sorvel";
inline constexpr char kOk[] = "OK";

}  // namespace sorvel::texts
