#include "ImageManifest.h"

#include "ImageLayout.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <sstream>

namespace fwimage {

namespace {

using firmware::ImageBuilder;
using firmware::ImageSection;

// The key=value fields of one line, each to be taken exactly once.
class Fields {
  public:
    Fields(std::size_t line, const std::vector<std::string>& words) : line_(line) {
        for (std::size_t i = 1; i < words.size(); ++i) {
            const auto eq = words[i].find('=');
            if (eq == std::string::npos || eq == 0) {
                throw ManifestError(line, "expected key=value, found '" + words[i] + "'");
            }
            const std::string key = words[i].substr(0, eq);
            if (!fields_.emplace(key, words[i].substr(eq + 1)).second) {
                throw ManifestError(line, "'" + key + "' given twice");
            }
        }
    }

    std::optional<std::string> Take(const std::string& key) {
        const auto it = fields_.find(key);
        if (it == fields_.end()) {
            return std::nullopt;
        }
        std::string value = it->second;
        fields_.erase(it);
        return value;
    }

    std::string Require(const std::string& key) {
        auto value = Take(key);
        if (!value) {
            throw ManifestError(line_, "'" + key + "' is missing");
        }
        return *value;
    }

    // Every key must have been used; a misspelt one must not pass unnoticed.
    void Finish() const {
        if (!fields_.empty()) {
            throw ManifestError(line_, "unknown key '" + fields_.begin()->first + "'");
        }
    }

    std::size_t line() const { return line_; }

  private:
    std::size_t line_;
    std::map<std::string, std::string> fields_;
};

std::uint64_t ParseNumber(std::size_t line, std::string_view text, std::uint64_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        throw ManifestError(line, "'" + std::string(text) + "' is not a number");
    }
    if (value > max) {
        throw ManifestError(line, std::string(text) + " is above " + std::to_string(max));
    }
    return value;
}

template <typename T>
T Number(std::size_t line, std::string_view text) {
    return static_cast<T>(ParseNumber(line, text, std::numeric_limits<T>::max()));
}

std::vector<std::uint8_t> ParseHex(std::size_t line, std::string_view hex) {
    if (hex.size() % 2 != 0) {
        throw ManifestError(line, "hex data needs an even number of digits");
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        std::uint8_t byte = 0;
        const auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
        if (error != std::errc() || end != hex.data() + i + 2) {
            throw ManifestError(line, "'" + std::string(hex.substr(i, 2)) + "' is not a hex byte");
        }
        bytes.push_back(byte);
    }
    return bytes;
}

// fill:BYTE:LENGTH, counter:LENGTH, hex:DIGITS or file:PATH.
std::vector<std::uint8_t> ParseData(std::size_t line, const std::string& source,
                                    const std::filesystem::path& baseDir) {
    const auto colon = source.find(':');
    const std::string kind = source.substr(0, colon);
    const std::string rest = colon == std::string::npos ? "" : source.substr(colon + 1);
    constexpr auto kMaxLength = std::numeric_limits<std::int32_t>::max();
    if (kind == "fill") {
        const auto second = rest.find(':');
        if (second == std::string::npos) {
            throw ManifestError(line, "fill data is fill:BYTE:LENGTH");
        }
        const auto byte = Number<std::uint8_t>(line, std::string_view(rest).substr(0, second));
        const auto length =
            ParseNumber(line, std::string_view(rest).substr(second + 1), kMaxLength);
        return std::vector<std::uint8_t>(static_cast<std::size_t>(length), byte);
    }
    if (kind == "counter") {
        std::vector<std::uint8_t> bytes(
            static_cast<std::size_t>(ParseNumber(line, rest, kMaxLength)));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(i);
        }
        return bytes;
    }
    if (kind == "hex") {
        return ParseHex(line, rest);
    }
    if (kind == "file") {
        const std::filesystem::path path = baseDir / rest;
        std::ifstream in(path, std::ios::binary);
        if (rest.empty() || !in) {
            throw ManifestError(line, "cannot read data file '" + path.string() + "'");
        }
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    throw ManifestError(line, "unknown data source '" + kind + "' (fill, counter, hex or file)");
}

// Text with \xNN and \\ escapes, so any byte can be written.
std::string ParseText(std::size_t line, std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out.push_back('\\');
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x') {
            out.push_back(static_cast<char>(ParseHex(line, text.substr(i + 2, 2))[0]));
            i += 3;
        } else {
            throw ManifestError(line, "bad escape in '" + std::string(text) + "' (\\xNN or \\\\)");
        }
    }
    return out;
}

std::uint32_t ParseType(std::size_t line, const std::string& text) {
    for (const auto type : firmware::kKnownSectionTypes) {
        if (text == firmware::SectionTypeName(type)) {
            return type;
        }
    }
    return Number<std::uint32_t>(line, text);
}

// Value 1, value 2 and size, which any section may set.
void TakeHeaderFields(Fields& fields, ImageSection& section) {
    if (auto v = fields.Take("value1")) {
        section.value1 = Number<std::uint32_t>(fields.line(), *v);
    }
    if (auto v = fields.Take("value2")) {
        section.value2 = Number<std::uint32_t>(fields.line(), *v);
    }
    if (auto v = fields.Take("size")) {
        section.size = Number<std::uint32_t>(fields.line(), *v);
    }
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

}  // namespace

ImageBuilder ParseManifest(std::string_view text, const std::filesystem::path& baseDir) {
    ImageBuilder image;
    bool headerSeen = false;
    std::istringstream in{std::string(text)};
    std::string raw;
    std::size_t line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const auto hash = raw.find('#');
        const std::vector<std::string> words =
            SplitWords(hash == std::string::npos ? raw : raw.substr(0, hash));
        if (words.empty()) {
            continue;
        }
        Fields fields(line, words);
        const std::string& keyword = words[0];

        if (keyword == "image") {
            if (headerSeen) {
                throw ManifestError(line, "only one 'image' line");
            }
            headerSeen = true;
            // Raw 32-bit fields, so 0xFFFFFFFF writes -1.
            if (auto v = fields.Take("total-size")) {
                image.TotalSize(static_cast<std::int32_t>(Number<std::uint32_t>(line, *v)));
            }
            if (auto v = fields.Take("section-count")) {
                image.SectionCount(static_cast<std::int32_t>(Number<std::uint32_t>(line, *v)));
            }
        } else if (keyword == "identity") {
            const auto vendor = Number<std::uint16_t>(line, fields.Require("vendor"));
            const auto product = Number<std::uint16_t>(line, fields.Require("product"));
            const std::string model = fields.Require("model");
            const auto flags = Number<std::uint8_t>(line, fields.Require("flags"));
            std::string modelBytes;
            if (model.rfind("hex:", 0) == 0) {
                const auto bytes = ParseHex(line, std::string_view(model).substr(4));
                modelBytes.assign(bytes.begin(), bytes.end());
            } else {
                modelBytes = ParseText(line, model);
            }
            if (modelBytes.size() != 4) {
                throw ManifestError(line, "a model code has four bytes");
            }
            ImageSection section;
            section.type = firmware::SECTION_DEVICE_IDENTITY;
            section.data = firmware::IdentityData(vendor, product, modelBytes, flags);
            if (auto extra = fields.Take("extra")) {
                const auto bytes = ParseData(line, *extra, baseDir);
                section.data.insert(section.data.end(), bytes.begin(), bytes.end());
            }
            TakeHeaderFields(fields, section);
            image.Section(std::move(section));
        } else if (keyword == "section") {
            ImageSection section;
            section.type = ParseType(line, fields.Require("type"));
            TakeHeaderFields(fields, section);
            if (auto data = fields.Take("data")) {
                section.data = ParseData(line, *data, baseDir);
            }
            if (auto version = fields.Take("version")) {
                section.versionText = ParseText(line, *version);
            }
            image.Section(std::move(section));
        } else if (keyword == "trailing") {
            image.Trailing(ParseData(line, fields.Require("data"), baseDir));
        } else {
            throw ManifestError(
                line, "unknown line '" + keyword + "' (image, identity, section or trailing)");
        }
        fields.Finish();
    }
    if (image.Sections().empty()) {
        throw ManifestError(0, "the manifest describes no section");
    }
    return image;
}

std::vector<std::uint8_t> BuildImageFromManifest(std::string_view text,
                                                 const std::filesystem::path& baseDir) {
    return ParseManifest(text, baseDir).Build();
}

}  // namespace fwimage
