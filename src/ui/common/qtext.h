// Between the core's texts (UTF-8, UTF-16) and Qt's.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace umbrill {

inline QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
inline QString qs(std::u16string_view wide)
{
    return QString(reinterpret_cast<const QChar *>(wide.data()), static_cast<qsizetype>(wide.size()));
}
inline std::string utf8(const QString &text) { return text.toStdString(); }
inline std::u16string wide(const QString &text) { return text.toStdU16String(); }

} // namespace umbrill
