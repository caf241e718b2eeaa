#pragma once

#include <QString>
#include <string_view>

#include "ui/text/DialogTexts.h"
#include "ui/text/FixedTexts.h"
#include "ui/text/MenuTexts.h"
#include "ui/text/MessageTexts.h"
#include "ui/text/NavigationTexts.h"
#include "ui/text/StatusTexts.h"

namespace ui {

inline QString qstr(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A text of one of the bilingual tables in `language`, ready for a widget.
template <typename Id>
QString tx(Id id, int language)
{
    return qstr(text::lookup(id, language));
}

// A message-box text: "\r" marks its line breaks.
inline QString messageText(std::string_view s)
{
    QString t = qstr(s);
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// The filter of the document dialogs.
inline const QString DocumentFilter = QStringLiteral("Vorex Fractal (*.mbt)");
inline const QString DocumentSuffix = QStringLiteral("mbt");

}  // namespace ui
