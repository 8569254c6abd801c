#pragma once
// A report set up as the dialogs leave it for the editor: the sample structure in xmlStructure and
// a new document of it in xmlDoc.

#include "app/AppState.h"
#include "support/ProgramFolder.h"

namespace kvor::test {

// Every stored amount "0", as a new report holds them.
inline void MakeNewReport(DomDocument& doc, const DomDocument& structure,
                          const QString& period = QStringLiteral("03 / 2004"),
                          const QString& name = QStringLiteral("Пловдив"),
                          const QString& ebk = QStringLiteral("1234"))
{
    const XmlNode s = selectSingleNode(structure, QStringLiteral("nomenclatures/structure"));
    const QString text =
        QStringLiteral("<positions version=\"%1\">")
            .arg(GetAttribute(structure.documentElement(), QStringLiteral("version"))) +
        NodeXml(s) + QStringLiteral("</positions>");
    doc.loadBytes(text.toUtf8());
    doc.setEncoding(QStringLiteral("windows-1251"));
    XmlNode root = doc.documentElement();
    SetAttribute(root, QStringLiteral("period"), period);
    SetAttribute(root, QStringLiteral("ob_name"), name);
    SetAttribute(root, QStringLiteral("ebk"), ebk);
    for (XmlNode str : selectNodes(doc, QStringLiteral("positions/structure//str"))) {
        RemoveAttribute(str, QStringLiteral("name"));
        for (const char* col : {"col1", "col6", "col8", "col4"}) {
            SetAttribute(str, QString::fromLatin1(col), QStringLiteral("0"));
        }
    }
}

inline void LoadSampleReport(AppState& state)
{
    state.xmlStructure.load(ProgramFolder::sampleFile(QStringLiteral("Structure.xml")));
    MakeNewReport(state.xmlDoc, state.xmlStructure);
    state.Obshtina = {QStringLiteral("Пловдив"), QStringLiteral("1234")};
    state.sPeriod = QStringLiteral("03 / 2004");
    state.sMonth = QStringLiteral("03");
    state.sYear = QStringLiteral("2004");
}

// The n-th stored row of the document (0 is the first).
inline XmlNode DocRow(const DomDocument& doc, int n)
{
    const auto rows = selectNodes(doc, QStringLiteral("positions/structure//str"));
    return n >= 0 && n < static_cast<int>(rows.size()) ? rows[n] : XmlNode();
}

} // namespace kvor::test
