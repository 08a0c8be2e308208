// The text decoder on any bytes: the text is valid UTF-8; a file written back
// in the format it was read in holds the bytes it held, and reads back alike.
#include "common/TextEncoding.h"
#include "fuzz/FuzzSupport.h"
#include "platform/text/TextFile.h"

namespace {

// Whether writing the text back can give the very bytes: one kind of line
// end throughout and, in Windows-1250, no byte the code page leaves undefined.
bool WritesBackAlike(std::string_view bytes, const TTextFormat& format) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool lf = bytes[i] == '\n';
        const bool crlf = lf && i > 0 && bytes[i - 1] == '\r';
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
        if (lf && crlf != (format.LineEnds == TLineEnds::CrLf)) return false;
    }
    if (format.Encoding == TTextEncoding::Windows1250)
        for (char c : bytes)
            if (DecodeWindows1250(static_cast<uint8_t>(c)) == U'\uFFFD') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);
    const std::string decoded = DecodeText(bytes);
    fuzz::Check(IsValidUtf8(decoded), "decoded text is UTF-8");
    if (IsValidUtf8(bytes)) {
        fuzz::Check(decoded == bytes || (bytes.starts_with("\xEF\xBB\xBF") && decoded == bytes.substr(3)),
                    "UTF-8 stays as it is");
    }
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t before = pos;
        NextUtf8Character(bytes, pos);
        fuzz::Check(pos > before && pos <= bytes.size(), "the decoder moves forward within the text");
    }

    const std::string path = fuzz::WriteScratchFile("text.asm", bytes);
    std::string text, error;
    TTextFormat format;
    fuzz::Check(ReadTextFile(path, &text, &error, &format) == TReadStatus::Okay, "the file reads", error);
    fuzz::Check(text == decoded && format == TextFormatOf(bytes), "the file reads as its bytes decode");
    if (!WritesBackAlike(bytes, format)) return 0;
    fuzz::Check(WriteTextFile(path, text, format, &error), "the text is written back", error);
    fuzz::Check(fuzz::ReadWholeFile(path) == bytes, "the file keeps its bytes");
    return 0;
}
