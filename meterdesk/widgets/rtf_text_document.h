// Fills a QTextDocument from the RTF reader's document model, for the read-only help panes of
// the application and the installer.
#pragma once

#include "meterdesk/base/rtf_reader.h"

class QTextDocument;

namespace meterdesk::ui {

// Replaces the contents of `target` with `document`: one block per paragraph (alignment,
// indents, spacing, tab stops, heading level) and one fragment per run (bold, italic,
// underline, point size, colour, font family). Line breaks inside a paragraph become line
// separators. Twips are converted to the document's 96-per-inch pixels.
void fill_text_document(QTextDocument &target, const rtf::Document &document);

} // namespace meterdesk::ui
