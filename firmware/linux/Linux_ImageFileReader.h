#pragma once
// Image files on Linux: the wide path goes to the file system in the locale's multibyte
// encoding; only regular files are images.

#include "ImageFileReader.h"

class Linux_ImageFileReader : public ImageFileReader {
  public:
    Result ReadWholeFile(const std::wstring& path, std::uint64_t maxLength,
                         std::vector<std::uint8_t>& buffer) override;
};
