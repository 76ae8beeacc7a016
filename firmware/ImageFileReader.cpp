#include "ImageFileReader.h"

#include <atomic>

namespace {

class NoImageFiles : public ImageFileReader {
  public:
    Result ReadWholeFile(const std::wstring& /*path*/, std::uint64_t /*maxLength*/,
                         std::vector<std::uint8_t>& /*buffer*/) override {
        Result result;
        result.status = Status::CannotOpen;
        return result;
    }
};

NoImageFiles gNoImageFiles;
std::atomic<ImageFileReader*> gReader{&gNoImageFiles};

}  // namespace

ImageFileReader& PlatformImageFileReader() {
    return *gReader.load();
}

void InstallImageFileReader(ImageFileReader* reader) {
    gReader.store(reader != nullptr ? reader : &gNoImageFiles);
}
