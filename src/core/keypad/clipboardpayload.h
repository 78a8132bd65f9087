// Clipboard content as plain data: each representation is a MIME type and its
// bytes. The widgets turn a payload into the toolkit's clipboard data; the core
// never sees the toolkit.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace umbrill {

inline constexpr std::string_view kMimePlainText = "text/plain";
inline constexpr std::string_view kMimePlainTextUtf8 = "text/plain;charset=utf-8";
inline constexpr std::string_view kMimeRtf = "text/rtf";
inline constexpr std::string_view kMimeApplicationRtf = "application/rtf";
inline constexpr std::string_view kMimeHtml = "text/html";

struct ClipboardPayload {
    std::vector<std::pair<std::string, std::string>> formats;  // MIME type, bytes

    // The bytes of a format, or nullptr when the payload does not offer it.
    const std::string *find(std::string_view mimeType) const;
};

// The system clipboard as the output engine sees it. Each call replaces the
// clipboard's whole content and releases the clipboard before it returns.
// Both throw Error("Cannot open clipboard") when the platform refuses.
class ClipboardSink {
public:
    virtual ~ClipboardSink();
    // Leaves the clipboard empty: nobody owns it.
    virtual void clear() = 0;
    virtual void set(const ClipboardPayload &payload) = 0;
};

inline constexpr std::string_view kCannotOpenClipboard = "Cannot open clipboard";

} // namespace umbrill
