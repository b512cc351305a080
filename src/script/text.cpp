#include "script/text.h"

#include <algorithm>

namespace {

// Letter case is folded for A-Z only: the program's texts may be in any code page, and
// folding bytes above 127 could break multi-byte characters.
char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char RaiseAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr int16_t MaxPieces = 32767;

} // namespace

int16_t SplitText(std::vector<std::string>& pieces, std::string_view text, std::string_view separator) {
    pieces.clear();
    pieces.emplace_back();
    // Nothing can be split at an empty separator: the whole text is the one piece.
    if (separator.empty()) {
        pieces.emplace_back(text);
        return 1;
    }
    std::string work;
    work.reserve(text.size() + 2 * separator.size());
    work.append(separator).append(text).append(separator);
    const size_t sepLen = separator.size();
    size_t start = 0;
    int16_t count = 0;
    size_t found = work.find(separator, sepLen);
    while (found != std::string::npos) {
        if (count == MaxPieces - 1) {
            // Counts are 16-bit: the last possible piece takes the rest of the text,
            // separators included, so that nothing is lost.
            pieces.emplace_back(work.substr(start + sepLen, work.size() - sepLen - (start + sepLen)));
            return MaxPieces;
        }
        ++count;
        pieces.emplace_back(work.substr(start + sepLen, found - (start + sepLen)));
        start = found;
        found = work.find(separator, found + sepLen);
    }
    return count;
}

std::string StoredFolderPath(std::string_view path) {
    std::string stored;
    stored.reserve(path.size());
    size_t start = 0;
    for (size_t end = path.find('\\'); end != std::string_view::npos; end = path.find('\\', start)) {
        std::string_view level = path.substr(start, end - start);
        const size_t last = level.find_last_not_of(". ");
        if (last != std::string_view::npos) level = level.substr(0, last + 1);
        stored.append(level).push_back('\\');
        start = end + 1;
    }
    return stored.append(path.substr(start));
}

std::string GetPathPart(std::string_view path, int16_t part, bool keepBackslash) {
    if (!path.empty() && path.back() == '\\') return std::string(path);
    std::vector<std::string> pieces;
    const int16_t n = SplitText(pieces, path, "\\");
    const std::string& fileName = pieces[n];
    switch (part) {
    case 0: {
        std::string folder;
        for (int16_t i = 1; i < n; ++i) folder.append(pieces[i]).append("\\");
        if (!keepBackslash && !folder.empty()) folder.pop_back();
        return folder;
    }
    case 1:
        return fileName;
    case 2: {
        std::vector<std::string> dotted;
        const int16_t m = SplitText(dotted, fileName, ".");
        return dotted[m];
    }
    case 3: {
        std::vector<std::string> dotted;
        const int16_t m = SplitText(dotted, fileName, ".");
        std::string name;
        for (int16_t i = 1; i < m; ++i) name += dotted[i];
        return name;
    }
    default:
        return {};
    }
}

std::string TrimAtNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), FoldAscii);
    return result;
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), RaiseAscii);
    return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

size_t FindNoCase(std::string_view text, std::string_view find, size_t from) {
    if (from > text.size()) return std::string_view::npos;
    if (find.empty()) return from;
    for (size_t i = from; i + find.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, find.size()), find)) return i;
    return std::string_view::npos;
}

bool NameHoldsWildcard(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return path.find_first_of("*?", slash == std::string_view::npos ? 0 : slash) != std::string_view::npos;
}

std::string OnOneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        if (c != '\r' && c != '\n')
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    return line;
}
