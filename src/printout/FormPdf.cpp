#include "printout/FormPdf.h"

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/Period.h"
#include "core/ReportName.h"
#include "printout/FormPainter.h"
#include "printout/PrintoutInput.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPdfWriter>
#include <kvor/Version.h>

namespace kvor {

namespace {

// Fine enough for hairlines and text placement; the file holds vectors either way.
constexpr int kPdfResolution = 1200;

} // namespace

QByteArray FormPdf(const PrintoutInput& input)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfResolution);
        pdf.setPageLayout(FormPageLayout());
        pdf.setTitle(msg::kPrintSubtitle.trimmed() + u' ' + input.municipality +
                     msg::kPrintSubtitleAt + input.period);
        pdf.setCreator(QStringLiteral("KVOR ") + QString::fromLatin1(kVersion));
        if (PaintForm(input, pdf) == 0) {
            return QByteArray();
        }
    }
    return bytes;
}

Status SaveFormPdf(const PrintoutInput& input, const QString& path)
{
    const QByteArray bytes = FormPdf(input);
    if (bytes.isEmpty()) {
        return Failure::of(Failure::Kind::WriteFailed, path,
                           QStringLiteral("Формата не може да бъде изчертана."));
    }
    QString reason;
    int error = 0;
    if (!WriteFileAtomically(path, bytes, &reason, &error)) {
        const Failure::Kind kind = IsDiskFullError(error)      ? Failure::Kind::DiskFull
                                   : IsWriteDeniedError(error) ? Failure::Kind::ReadOnly
                                                               : Failure::Kind::WriteFailed;
        return Failure::of(kind, path, reason, error);
    }
    return {};
}

QString FormPdfFileName(const QString& ebk, const QString& period)
{
    const std::optional<Period> p = Period::fromText(period);
    const QString name = p ? ReportFileName(ebk, p->yearText(), p->monthText())
                           : ReportFileName(ebk, QString(), QString());
    return QFileInfo(name).completeBaseName() + QStringLiteral(".pdf");
}

} // namespace kvor
