#include "TextWrap.h"

#include <vector>

namespace ui {
namespace {

bool IsCjk(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// Punctuation that must not begin a line.
bool ClosesLine(wchar_t c) {
    return std::wstring_view(
               L"、。，．・：；？！）」』】〉》〕ー～ぁぃぅぇぉっゃゅょァィゥェォッャュョ,.:;!?)]}")
               .find(c) != std::wstring_view::npos;
}

// Punctuation that must not end a line.
bool OpensLine(wchar_t c) {
    return std::wstring_view(L"（「『【〈《〔([{").find(c) != std::wstring_view::npos;
}

// Pieces of a paragraph that stay on one line: a word with the spaces after it, or one
// CJK character with the punctuation that sticks to it.
std::vector<std::wstring> Pieces(std::wstring_view paragraph) {
    std::vector<std::wstring> pieces;
    std::wstring current;
    for (std::size_t i = 0; i < paragraph.size(); ++i) {
        const wchar_t c = paragraph[i];
        current += c;
        const bool last = i + 1 == paragraph.size();
        if (last) {
            break;
        }
        const wchar_t next = paragraph[i + 1];
        const bool breakAfter =
            (c == L' ' && next != L' ') || ((IsCjk(c) || IsCjk(next)) && c != L' ' &&
                                            next != L' ' && !ClosesLine(next) && !OpensLine(c));
        if (breakAfter) {
            pieces.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) {
        pieces.push_back(std::move(current));
    }
    return pieces;
}

std::wstring_view WithoutTrailingSpaces(std::wstring_view text) {
    while (!text.empty() && text.back() == L' ') {
        text.remove_suffix(1);
    }
    return text;
}

void WrapParagraph(std::wstring_view paragraph, int width, const TextMeasure& measure,
                   std::vector<std::wstring>& lines) {
    std::wstring line;
    for (auto& piece : Pieces(paragraph)) {
        if (line.empty() || measure(WithoutTrailingSpaces(line + piece)) <= width) {
            line += piece;
        } else {
            lines.emplace_back(WithoutTrailingSpaces(line));
            line = piece;
        }
        // A piece wider than the whole line: break it character by character.
        while (measure(WithoutTrailingSpaces(line)) > width &&
               WithoutTrailingSpaces(line).size() > 1) {
            std::size_t fits = 1;
            while (fits < line.size() &&
                   measure(std::wstring_view(line).substr(0, fits + 1)) <= width) {
                ++fits;
            }
            lines.push_back(line.substr(0, fits));
            line.erase(0, fits);
        }
    }
    lines.emplace_back(WithoutTrailingSpaces(line));
}

}  // namespace

std::wstring WrapText(std::wstring_view text, int width, const TextMeasure& measure) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(L'\n', start);
        WrapParagraph(text.substr(start, end == std::wstring_view::npos ? end : end - start), width,
                      measure, lines);
        if (end == std::wstring_view::npos) {
            break;
        }
        start = end + 1;
    }
    std::wstring wrapped;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            wrapped += L'\n';
        }
        wrapped += lines[i];
    }
    return wrapped;
}

}  // namespace ui
