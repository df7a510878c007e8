#pragma once
// Text between the program's UTF-8 strings and Qt's strings; the one conversion every layer over Qt uses.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace ovrel::ui {

/// UTF-8 bytes as a Qt string; bytes that are not UTF-8 become replacement characters.
inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// A Qt string as UTF-8 bytes.
inline std::string FromQString(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace ovrel::ui
