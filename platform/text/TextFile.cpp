#include "platform/text/TextFile.h"

#include "common/AsciiText.h"

#include <unistd.h>
#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

TTextFormat TextFormatOf(std::string_view bytes) {
    TTextFormat format;
    if (!IsValidUtf8(bytes))
        format.Encoding = TTextEncoding::Windows1250;
    else if (bytes.starts_with("\xEF\xBB\xBF"))
        format.Encoding = TTextEncoding::Utf8WithBom;
    const size_t lineFeed = bytes.find('\n');
    if (lineFeed != std::string_view::npos && (lineFeed == 0 || bytes[lineFeed - 1] != '\r'))
        format.LineEnds = TLineEnds::Lf;
    return format;
}

TReadStatus ReadTextFile(const std::string& path, std::string* text, std::string* err, TTextFormat* format) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (err) *err = path + ": file not found";
        return TReadStatus::NotFound;
    }
    // Checked before opening: opening a named pipe waits for a writer.
    if (!std::filesystem::is_regular_file(path, ec)) {
        if (err) *err = path + ": not a file";
        return TReadStatus::OtherError;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (err) *err = path + ": " + std::strerror(errno);
        return TReadStatus::OtherError;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        if (err) *err = path + ": read error";
        return TReadStatus::OtherError;
    }
    if (text) *text = DecodeText(bytes.str());
    if (format) *format = TextFormatOf(bytes.str());
    return TReadStatus::Okay;
}

bool WriteTextFile(const std::string& path, std::string_view text, const TTextFormat& format, std::string* err) {
    namespace fs = std::filesystem;
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    if (format.Encoding == TTextEncoding::Utf8WithBom) lines += "\xEF\xBB\xBF";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n')
            lines += format.LineEnds == TLineEnds::CrLf ? "\r\n" : "\n";
        else
            lines += text[i];
    }
    std::string bytes = std::move(lines);
    if (format.Encoding == TTextEncoding::Windows1250) {
        std::optional<std::string> encoded = Utf8ToWindows1250(bytes);
        if (!encoded) {
            if (err) *err = path + ": the text holds a character that Windows-1250 cannot store";
            return false;
        }
        bytes = std::move(*encoded);
    }

    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        if (err) *err = path + ": " + std::strerror(errno);
        return false;
    }
    bool written = true;
    for (size_t done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    std::error_code ec;
    if (written) {
        // mkstemp makes the file private; keep what the old file allowed.
        const fs::file_status old = fs::status(path, ec);
        const fs::perms perms = !ec && fs::exists(old) ? old.permissions()
                                                       : fs::perms::owner_read | fs::perms::owner_write |
                                                             fs::perms::group_read | fs::perms::others_read;
        fs::permissions(temporary, perms, ec);
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            written = false;
            error = errno;
        }
    }
    if (!written) {
        fs::remove(temporary, ec);
        if (err) *err = path + ": " + std::strerror(error);
    }
    return written;
}

std::optional<std::string> FindFileIgnoringCase(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path wanted(path);
    if (fs::is_regular_file(wanted, ec)) return path;
    const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
    const std::string name = wanted.filename().string();
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (EqualIgnoringAsciiCase(candidate, name) && it->is_regular_file(ec)) matches.push_back(candidate);
    }
    if (matches.empty()) return std::nullopt;
    std::sort(matches.begin(), matches.end());
    return (wanted.has_parent_path() ? (wanted.parent_path() / matches.front()) : fs::path(matches.front())).string();
}
