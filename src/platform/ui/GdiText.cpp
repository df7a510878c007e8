// Fonts and text output of the device contexts.

#include "platform/ui/Gdi.h"

#include "platform/ui/Gdi_p.h"
#include "platform/ui/QtText.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ovrel::ui {

namespace {

// One line of text to draw, with the position of the character a mnemonic prefix underlines.
struct TextLine {
    QString Text;
    int Underline = -1;
};

QString FamilyFor(const std::string& face)
{
    const QString name = ToQString(face).trimmed();
    static const char* const sans[] = {"",       "MS Sans Serif", "Microsoft Sans Serif", "Arial",
                                       "Tahoma", "MS Shell Dlg",  "MS Shell Dlg 2",       "Segoe UI",
                                       "System", "Verdana"};
    for (const char* s : sans)
        if (name.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return ToQString(SansFamily());
    if (name.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("DejaVu Sans Mono");
    if (name.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("DejaVu Serif");
    return name;
}

FontObject* FontOf(DeviceContext& dc) { return dc.State.Font ? dc.State.Font : StockFont(DEFAULT_GUI_FONT); }

int TabbedWidth(const QFontMetrics& fm, const QString& text, int tabWidth)
{
    if (tabWidth <= 0 || !text.contains(QLatin1Char('\t')))
        return fm.horizontalAdvance(text);
    int x = 0;
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            x = (x / tabWidth + 1) * tabWidth;
        x += fm.horizontalAdvance(parts[i]);
    }
    return x;
}

TextLine StripPrefix(const QString& text, UINT format)
{
    TextLine line;
    if (format & DT_NOPREFIX) {
        line.Text = text;
        return line;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('&')) {
            line.Text += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
            line.Text += c;  // "&&" is one ampersand
            ++i;
            continue;
        }
        if (i + 1 < text.size() && !(format & DT_HIDEPREFIX) && line.Underline < 0)
            line.Underline = static_cast<int>(line.Text.size());
    }
    return line;
}

std::vector<TextLine> SplitLines(const QString& text, UINT format)
{
    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(StripPrefix(text, format));
        return lines;
    }
    QString current;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size()) {
            lines.push_back(StripPrefix(current, format));
            break;
        }
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.push_back(StripPrefix(current, format));
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            continue;
        }
        current += c;
    }
    return lines;
}

// Breaks a line between words so that each piece fits width; a word wider than width keeps a line of its own.
void WrapLine(const TextLine& line, const QFontMetrics& fm, int width, int tabWidth, std::vector<TextLine>& out)
{
    const QString& s = line.Text;
    qsizetype start = 0;
    while (true) {
        if (TabbedWidth(fm, s.mid(start), tabWidth) <= width) {
            TextLine piece{s.mid(start), -1};
            if (line.Underline >= start)
                piece.Underline = static_cast<int>(line.Underline - start);
            out.push_back(piece);
            return;
        }
        // The last break whose head still fits, else the first break at all.
        qsizetype breakAt = -1;
        for (qsizetype i = start + 1; i < s.size(); ++i) {
            if (s[i] != QLatin1Char(' '))
                continue;
            if (TabbedWidth(fm, s.mid(start, i - start), tabWidth) <= width || breakAt < 0)
                breakAt = i;
            if (TabbedWidth(fm, s.mid(start, i - start), tabWidth) > width)
                break;
        }
        if (breakAt < 0) {
            TextLine piece{s.mid(start), -1};
            if (line.Underline >= start)
                piece.Underline = static_cast<int>(line.Underline - start);
            out.push_back(piece);
            return;
        }
        TextLine piece{s.mid(start, breakAt - start), -1};
        if (line.Underline >= start && line.Underline < breakAt)
            piece.Underline = static_cast<int>(line.Underline - start);
        out.push_back(piece);
        start = breakAt;
        while (start < s.size() && s[start] == QLatin1Char(' '))
            ++start;  // the blanks at a break vanish
        if (start >= s.size())
            return;
    }
}

const QString Ellipsis = QStringLiteral("...");

void ElideEnd(TextLine& line, const QFontMetrics& fm, int width)
{
    QString head = line.Text;
    while (!head.isEmpty() && fm.horizontalAdvance(head + Ellipsis) > width)
        head.chop(1);
    if (line.Underline >= head.size())
        line.Underline = -1;
    line.Text = head + Ellipsis;
}

// Keeps the last path component and shortens what is before it.
void ElidePath(TextLine& line, const QFontMetrics& fm, int width)
{
    const qsizetype slash = std::max(line.Text.lastIndexOf(QLatin1Char('/')), line.Text.lastIndexOf(QLatin1Char('\\')));
    if (slash < 0) {
        ElideEnd(line, fm, width);
        return;
    }
    QString head = line.Text.left(slash);
    const QString tail = line.Text.mid(slash);
    while (!head.isEmpty() && fm.horizontalAdvance(head + Ellipsis + tail) > width)
        head.chop(1);
    if (line.Underline >= head.size())
        line.Underline = -1;
    line.Text = head + Ellipsis + tail;
}

// Draws text with tab expansion at baseline (x, y) of the painter's frame.
void DrawRun(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text, int tabWidth)
{
    if (tabWidth <= 0 || !text.contains(QLatin1Char('\t'))) {
        p.drawText(x, y, text);
        return;
    }
    int at = 0;
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            at = (at / tabWidth + 1) * tabWidth;
        p.drawText(x + at, y, parts[i]);
        at += fm.horizontalAdvance(parts[i]);
    }
}

void DrawUnderline(QPainter& p, const QFontMetrics& fm, int x, int baseline, const TextLine& line, int tabWidth,
                   const QColor& color)
{
    if (line.Underline < 0 || line.Underline >= line.Text.size())
        return;
    const int from = x + TabbedWidth(fm, line.Text.left(line.Underline), tabWidth);
    const int width = fm.horizontalAdvance(line.Text.at(line.Underline));
    p.fillRect(QRect(from, baseline + std::max(1, fm.underlinePos()), width, std::max(1, fm.lineWidth())), color);
}

}  // namespace

std::string SansFamily() { return "DejaVu Sans"; }

QFont RealizeFont(const LOGFONT& log)
{
    QFont font(FamilyFor(log.lfFaceName));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp<int>(log.lfWeight == FW_DONTCARE ? FW_NORMAL : log.lfWeight, 100, 900)));
    font.setItalic(log.lfItalic != 0);
    font.setUnderline(log.lfUnderline != 0);
    font.setStrikeOut(log.lfStrikeOut != 0);
    font.setKerning(false);
    int pixels = 11;
    if (log.lfHeight < 0) {
        pixels = -log.lfHeight;
    } else if (log.lfHeight > 0) {
        // A positive height is the cell height; scale the character height to match it.
        QFont probe = font;
        probe.setPixelSize(100);
        const int cell = QFontMetrics(probe).height();
        pixels = cell > 0 ? static_cast<int>(std::lround(log.lfHeight * 100.0 / cell)) : log.lfHeight;
    }
    font.setPixelSize(std::clamp(pixels, 1, 4096));
    return font;
}

BOOL GetTextExtentPoint32(HDC dc, std::string_view text, SIZE* size)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !size)
        return FALSE;
    const QFontMetrics fm(FontOf(*d)->Font);
    const QString s = ToQString(text);
    *size = SIZE{fm.horizontalAdvance(s), fm.height()};
    return TRUE;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !metrics)
        return FALSE;
    FontObject* f = FontOf(*d);
    const QFontMetrics fm(f->Font);
    *metrics = TEXTMETRIC{};
    metrics->tmHeight = fm.height();
    metrics->tmAscent = fm.ascent();
    metrics->tmDescent = fm.descent();
    metrics->tmInternalLeading = std::max(0, fm.height() - f->Font.pixelSize());
    metrics->tmExternalLeading = std::max(0, fm.leading());
    metrics->tmAveCharWidth = fm.averageCharWidth();
    metrics->tmMaxCharWidth = fm.maxWidth();
    metrics->tmWeight = f->Log.lfWeight == FW_DONTCARE ? FW_NORMAL : f->Log.lfWeight;
    metrics->tmItalic = f->Log.lfItalic;
    metrics->tmUnderlined = f->Log.lfUnderline;
    metrics->tmStruckOut = f->Log.lfStrikeOut;
    return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, std::string_view text) { return ExtTextOut(dc, x, y, 0, nullptr, text); }

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, std::string_view text, const int* dx)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    FontObject* f = FontOf(*d);
    const QFontMetrics fm(f->Font);
    const QString s = ToQString(text);
    const UINT align = d->State.TextAlign;
    if (align & TA_UPDATECP) {
        x = d->State.CurrentPos.x;
        y = d->State.CurrentPos.y;
    }
    // dx holds one advance per character; a character outside the basic plane is two UTF-16 units, so
    // counting units would read past the caller's array.
    const QList<uint> characters = dx ? s.toUcs4() : QList<uint>();
    int width = 0;
    if (dx) {
        for (qsizetype i = 0; i < characters.size(); ++i)
            width += dx[i];
    } else {
        width = fm.horizontalAdvance(s);
    }
    if (align & TA_UPDATECP)
        d->State.CurrentPos.x += width;

    SurfacePainter sp(*d);
    if (!sp.IsActive())
        return TRUE;
    QPainter& p = sp.Painter();
    if (rect && (options & ETO_OPAQUE)) {
        const QPoint tl = LogicalToImage(*d, rect->left, rect->top);
        p.fillRect(QRect(tl, QSize(rect->right - rect->left, rect->bottom - rect->top)), ToQColor(d->State.BkColor));
    }
    if (rect && (options & ETO_CLIPPED)) {
        const QPoint tl = LogicalToImage(*d, rect->left, rect->top);
        p.setClipRegion(sp.Clip().intersected(QRect(tl, QSize(rect->right - rect->left, rect->bottom - rect->top))));
    }
    const QPoint at = LogicalToImage(*d, x, y);
    p.translate(at);
    if (f->Log.lfEscapement != 0)
        p.rotate(-f->Log.lfEscapement / 10.0);  // tenths of a degree, counter-clockwise
    int left = 0;
    switch (align & TA_CENTER) {
    case TA_RIGHT: left = -width; break;
    case TA_CENTER: left = -width / 2; break;
    default: break;
    }
    int baseline = fm.ascent();
    switch (align & TA_BASELINE) {
    case TA_BOTTOM: baseline = -fm.descent(); break;
    case TA_BASELINE: baseline = 0; break;
    default: break;
    }
    if (d->State.BkMode == OPAQUE)
        p.fillRect(QRect(left, baseline - fm.ascent(), width, fm.height()), ToQColor(d->State.BkColor));
    p.setFont(f->Font);
    p.setPen(ToQColor(d->State.TextColor));
    if (dx) {
        int pos = left;
        for (qsizetype i = 0; i < characters.size(); ++i) {
            const auto c = static_cast<char32_t>(characters[i]);
            p.drawText(pos, baseline, QString::fromUcs4(&c, 1));
            pos += dx[i];
        }
    } else {
        p.drawText(left, baseline, s);
    }
    return TRUE;
}

int DrawText(HDC dc, std::string_view text, RECT* rect, UINT format)
{
    return DrawTextEx(dc, text, rect, format, nullptr);
}

int DrawTextEx(HDC dc, std::string_view text, RECT* rect, UINT format, DRAWTEXTPARAMS* params)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !rect)
        return 0;
    FontObject* f = FontOf(*d);
    const QFont& font = f->Font;
    const QFontMetrics fm(font);
    const int lineHeight = fm.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
    RECT r = *rect;
    if (params) {
        r.left += params->iLeftMargin;
        r.right -= params->iRightMargin;
        params->uiLengthDrawn = static_cast<UINT>(text.size());
    }
    const int tabChars = params && params->iTabLength > 0 ? params->iTabLength : 8;
    const int tabWidth = (format & DT_EXPANDTABS) ? tabChars * std::max(1, fm.averageCharWidth()) : 0;
    const int available = r.right - r.left;

    const QString all = ToQString(text);
    std::vector<TextLine> lines;
    for (const TextLine& line : SplitLines(all, format)) {
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
            WrapLine(line, fm, available, tabWidth, lines);
        else
            lines.push_back(line);
    }
    // Each line is measured once, after any eliding: measuring is most of what a short line costs.
    std::vector<int> widths;
    widths.reserve(lines.size());
    const bool ellipsis = (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0;
    for (TextLine& line : lines) {
        int width = TabbedWidth(fm, line.Text, tabWidth);
        if (ellipsis && width > available) {
            if (format & DT_PATH_ELLIPSIS)
                ElidePath(line, fm, available);
            else
                ElideEnd(line, fm, available);
            width = TabbedWidth(fm, line.Text, tabWidth);
        }
        widths.push_back(width);
    }
    int widest = 0;
    for (const int width : widths)
        widest = std::max(widest, width);
    const int total = lineHeight * static_cast<int>(lines.size());

    int top = r.top;
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_VCENTER))
        top = r.top + (r.bottom - r.top - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        top = r.bottom - lineHeight;
    const int result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? top - r.top + total : total;

    if (format & DT_CALCRECT) {
        int right = r.left + widest;
        if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
            right = std::min(right, r.right);
        rect->right = right + (params ? params->iRightMargin : 0);
        rect->bottom = rect->top + total;
        return total;
    }

    SurfacePainter sp(*d);
    if (!sp.IsActive())
        return result;
    QPainter& p = sp.Painter();
    if (!(format & DT_NOCLIP)) {
        const QPoint tl = LogicalToImage(*d, rect->left, rect->top);
        p.setClipRegion(sp.Clip().intersected(
            QRect(tl, QSize(std::max(0, rect->right - rect->left), std::max(0, rect->bottom - rect->top)))));
    }
    p.setFont(font);
    const QColor textColor = ToQColor(d->State.TextColor);
    p.setPen(textColor);
    int y = top;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        const int w = widths[i];
        int x = r.left;
        if (format & DT_CENTER)
            x = r.left + (available - w) / 2;
        else if (format & DT_RIGHT)
            x = r.right - w;
        const QPoint at = LogicalToImage(*d, x, y);
        if (d->State.BkMode == OPAQUE)
            p.fillRect(QRect(at, QSize(w, lineHeight)), ToQColor(d->State.BkColor));
        DrawRun(p, fm, at.x(), at.y() + fm.ascent(), line.Text, tabWidth);
        DrawUnderline(p, fm, at.x(), at.y() + fm.ascent(), line, tabWidth, textColor);
        y += lineHeight;
    }
    return result;
}

}  // namespace ovrel::ui
