#pragma once
// For tests: the errors the platform's image file reader reports for a file that cannot be
// opened. Defined in the platform's test folder.

struct ImageFileErrors {
    int missing;    // no such file
    int directory;  // the path names a directory
};

extern const ImageFileErrors kPlatformFileErrors;
