#include "meterdesk/widgets/rtf_text_document.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace meterdesk::ui {

namespace {

// 1440 twips per inch, 96 pixels per inch.
qreal pixels(int twips) {
    return static_cast<qreal>(twips) / 15.0;
}

Qt::Alignment alignment(rtf::Alignment align) {
    switch (align) {
    case rtf::Alignment::kCentre:
        return Qt::AlignHCenter;
    case rtf::Alignment::kRight:
        return Qt::AlignRight;
    case rtf::Alignment::kJustified:
        return Qt::AlignJustify;
    case rtf::Alignment::kLeft:
        break;
    }
    return Qt::AlignLeft;
}

QTextBlockFormat block_format(const rtf::Paragraph &paragraph) {
    QTextBlockFormat format;
    format.setAlignment(alignment(paragraph.alignment));
    format.setLeftMargin(pixels(paragraph.left_indent));
    format.setRightMargin(pixels(paragraph.right_indent));
    format.setTextIndent(pixels(paragraph.first_line_indent));
    format.setTopMargin(pixels(paragraph.space_before));
    format.setBottomMargin(pixels(paragraph.space_after));
    if (paragraph.outline_level >= 0) format.setHeadingLevel(paragraph.outline_level + 1);
    // Rich text measures tab stops from the edge of the text column; Qt from the start of the
    // line, which the indents have moved. Tabs in the first line land where they should.
    const int line_start = paragraph.left_indent + paragraph.first_line_indent;
    QList<QTextOption::Tab> tabs;
    for (const int stop : paragraph.tab_stops) {
        if (stop > line_start)
            tabs.append(QTextOption::Tab(pixels(stop - line_start), QTextOption::LeftTab));
    }
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    return format;
}

QTextCharFormat char_format(const rtf::CharFormat &run) {
    QTextCharFormat format;
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    format.setFontPointSize(static_cast<qreal>(run.font_size) / 2.0);
    if (run.colour)
        format.setForeground(QColor(run.colour->red, run.colour->green, run.colour->blue));
    if (!run.font.empty()) format.setFontFamilies(QStringList{QString::fromStdString(run.font)});
    return format;
}

QString run_text(const std::string &text) {
    QString out = QString::fromStdString(text);
    out.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    return out;
}

} // namespace

void fill_text_document(QTextDocument &target, const rtf::Document &document) {
    target.clear();
    QTextCursor cursor(&target);
    bool first = true;
    for (const rtf::Paragraph &paragraph : document.paragraphs) {
        const QTextBlockFormat format = block_format(paragraph);
        if (first) {
            cursor.setBlockFormat(format); // the document's own first block
            first = false;
        } else {
            cursor.insertBlock(format);
        }
        for (const rtf::Run &run : paragraph.runs)
            cursor.insertText(run_text(run.text), char_format(run.format));
    }
}

} // namespace meterdesk::ui
