#pragma once
// Forms and reports of any size in the sample's proportions: blocks of 27 rows (a restricted
// total, two restricted groups feeding it with a restricted sub-group, and a block of rows that
// feed nothing), and codes spread over the rows for both code columns.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstring>
#include <vector>

namespace kvor::bench {

// The code counts the larger forms are measured with.
inline int SampleProportionCodes(int rows)
{
    return rows <= 27 ? 24 : rows <= 1000 ? 1842 : 59250;
}

inline QByteArray StructureXml(int rows, int codes)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
                   "<nomenclatures version=\"1\"><structure name=\"Вид на дълга\">";
    // One block: T the total; A, B, E restricted groups; a, b, e rows feeding them; r rows
    // feeding nothing (R their restricted heading).
    const char block[] = "TAaBbbaaaaaaaEeeeeeRrrrrrrr";
    std::vector<int> items;
    int id = 2;
    for (int n = 0; n < rows;) {
        const int base = id;
        const auto idOf = [&](char role) {
            const char* at = std::strchr(block, role);
            return QByteArray::number(base + static_cast<int>(at - block));
        };
        for (int k = 0; k < 27 && n < rows; ++k, ++n, ++id) {
            const char role = block[k];
            QByteArray sumid;
            switch (role) {
            case 'a':
                sumid = idOf('A') + '-' + idOf('T');
                break;
            case 'b':
                sumid = idOf('B') + '-' + idOf('A') + '-' + idOf('T');
                break;
            case 'e':
                sumid = idOf('E') + '-' + idOf('T');
                break;
            default:
                break;
            }
            x += "<str id=\"" + QByteArray::number(id) + "\" name=\"Ред " +
                 QByteArray::number(n + 1) + " на справката за общинския дълг\"";
            if (role >= 'A' && role <= 'Z') {
                x += " restricted=\"1\"";
            } else {
                items.push_back(id);
            }
            if (!sumid.isEmpty()) {
                x += " sumid=\"" + sumid + "\"";
            }
            x += "/>";
        }
    }
    x += "</structure><columns>"
         "<col id=\"1\" name=\"Дълг в началото на месеца\" protected=\"1\"/>"
         "<col id=\"2\" name=\"Увеличения през месеца\"><col id=\"5\" name=\"Код по ЕБК\"/>"
         "<col id=\"6\" name=\"Сума\" protected=\"1\"/></col>"
         "<col id=\"3\" name=\"Намаления през месеца\"><col id=\"7\" name=\"Код по ЕБК\"/>"
         "<col id=\"8\" name=\"Сума\" protected=\"1\"/></col>"
         "<col id=\"4\" name=\"Дълг в края на месеца\" protected=\"1\"/></columns><codes>";
    for (int c = 0; c < codes && !items.empty(); ++c) {
        x += "<code strid=\"" + QByteArray::number(items[size_t(c / 2) % items.size()]) +
             "\" colid=\"" + (c % 2 == 0 ? "5" : "7") + "\" item=\"§ 8" +
             QByteArray::number(c % 10) + "-11\"/>";
    }
    x += "</codes></nomenclatures>";
    return x;
}

// A report of the form: every figure "0" for a new month, figures in the thousands for one
// being corrected.
inline QByteArray ReportXml(int rows, bool filled)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
                   "<positions version=\"1\" period=\"03 / 2004\" ob_name=\"Банско\" "
                   "ebk=\"5101\" hash=\"\"><structure name=\"Вид на дълга\">";
    for (int n = 0; n < rows; ++n) {
        const QByteArray opening = filled ? QByteArray::number(n % 997) + " 234,50" : "0";
        const QByteArray added = filled ? "12,00" : "0";
        x += "<str id=\"" + QByteArray::number(n + 2) + "\" col1=\"" + opening + "\" col6=\"" +
             added + "\" col8=\"0\" col4=\"0\"/>";
    }
    x += "</structure></positions>";
    return x;
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

} // namespace kvor::bench
