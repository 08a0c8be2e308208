#include "platform/text/TextFile.h"

#include "common/AsciiText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

TBytesRead ReadFileBytes(const std::string& path, std::string* bytes, int* errorNumber, uint64_t maxSize) {
    auto failed = [errorNumber](TBytesRead status) {
        if (errorNumber) *errorNumber = errno;
        return status;
    };
    // Non-blocking, or opening a named pipe would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failed(errno == ENOENT || errno == ENOTDIR ? TBytesRead::NotFound : TBytesRead::OpenFailed);
    struct Closer {
        int Fd;
        ~Closer() { ::close(Fd); }
    } closer{fd};
    struct stat info;
    if (::fstat(fd, &info) != 0) return failed(TBytesRead::ReadFailed);
    // A device or a pipe could feed it forever.
    if (!S_ISREG(info.st_mode)) return TBytesRead::NotAFile;
    if (static_cast<uint64_t>(info.st_size) > maxSize) return TBytesRead::TooLarge;
    std::string contents;
    contents.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(TBytesRead::ReadFailed);
        }
        contents.append(buffer, static_cast<size_t>(n));
        if (contents.size() > maxSize) return TBytesRead::TooLarge;
    }
    if (bytes) *bytes = std::move(contents);
    return TBytesRead::Okay;
}

TReadStatus ReadTextFile(const std::string& path, std::string* text, std::string* err, TTextFormat* format) {
    std::string bytes;
    int error = 0;
    const TBytesRead read = ReadFileBytes(path, &bytes, &error);
    if (read == TBytesRead::NotFound) {
        if (err) *err = path + ": file not found";
        return TReadStatus::NotFound;
    }
    if (read != TBytesRead::Okay) {
        if (err) *err = path + ": " + (read == TBytesRead::NotAFile ? "not a file" : std::strerror(error));
        return TReadStatus::OtherError;
    }
    if (text) *text = DecodeText(bytes);
    if (format) *format = TextFormatOf(bytes);
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
