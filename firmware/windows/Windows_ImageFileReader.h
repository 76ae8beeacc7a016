#pragma once
// Image files on Windows: the wide path goes to the file system as it is; only regular files
// (not directories or devices) are images.

#include "ImageFileReader.h"

class Windows_ImageFileReader : public ImageFileReader {
  public:
    Result ReadWholeFile(const std::wstring& path, std::uint64_t maxLength,
                         std::vector<std::uint8_t>& buffer) override;
};
