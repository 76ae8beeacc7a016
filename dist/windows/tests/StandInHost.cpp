// The check of the stand-in checks: loads the libraries named on its command line by name, the
// way Windows searches when a program restricts nothing (its own folder first). A stand-in
// beside it leaves its mark, which shows that a test which finds no mark beside a program has
// seen that program keep the stand-ins out.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    int missing = 0;
    for (int i = 1; i < argc; ++i) {
        if (::LoadLibraryW(argv[i]) == nullptr) {
            ++missing;
        }
    }
    return missing;
}
