// A source document's file on disk: read as UTF-8 when valid, else
// Windows-1250, with its line ends noted; written back the same way.
#pragma once

#include <string>

namespace Vantrel {

struct TDocumentFormat;

// text gets the file's text as UTF-8 with '\n' line ends.
bool ReadDocument(const std::string& path, std::string* text, TDocumentFormat* format, std::string* err);
// text has '\n' line ends; the file gets the format's encoding and line ends.
bool WriteDocument(const std::string& path, const std::string& text, const TDocumentFormat& format,
                   std::string* err);

}  // namespace Vantrel
