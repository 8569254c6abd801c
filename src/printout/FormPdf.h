#pragma once
// The form as a PDF file: drawn in memory and written through the atomic writer, so that a
// failure leaves no half-written file and an older file of the same name whole.

#include "core/Result.h"

#include <QByteArray>
#include <QString>

namespace kvor {

struct PrintoutInput;

// The PDF of the form, fonts embedded, on A4 landscape.
QByteArray FormPdf(const PrintoutInput& input);

// Writes the PDF of the form to path. On failure the reason is in Bulgarian.
Status SaveFormPdf(const PrintoutInput& input, const QString& path);

// The name a PDF of the report is offered under: the report file's own name with ".pdf", from
// the municipality's EBK code and the period ("03 / 2004").
QString FormPdfFileName(const QString& ebk, const QString& period);

} // namespace kvor
