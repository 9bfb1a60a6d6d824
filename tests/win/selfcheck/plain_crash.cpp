// Crashes on purpose, with nothing of its own to catch it, as Sorvel.exe would: the
// check that the end-to-end test's runner reports such a crash every time.
int main()
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
