#pragma once
// Every fixed text the program shows, exactly as the user is to see it (trailing blanks included).

#include <QString>

namespace kvor::msg {

inline const QString kTitleWarning = QStringLiteral("KVOR - Внимание!");
inline const QString kTitleError = QStringLiteral("KVOR - Грешка!");
inline const QString kTitleWriteError = QStringLiteral("Грешка при запис на Файла!");
inline const QString kTitleExcelWarning = QStringLiteral("TAVN - Внимание!");
inline const QString kTitleExcelError = QStringLiteral("TAVN - Грешка");

// Start-up and configuration.
inline const QString kSecondCopy = QStringLiteral("Има стартирано друго копие на програмата");
// A lock that may be stale: the machine and the time it names (%1, %2), or the lock's path (%1).
inline const QString kLockOfOtherMachine = QStringLiteral(
    "Данните се използват от копие на програмата на компютъра „%1“ (заключени на %2).\r\n"
    "Ако там програмата вече не работи, работата може да продължи тук.\r\n\r\n"
    "Да продължи ли програмата?");
inline const QString kLockUnknownMachine = QStringLiteral("неизвестен");
inline const QString kLockNotAFile = QStringLiteral(
    "На мястото на заключващия файл %1 има папка, връзка или файл, който не може да бъде "
    "прочетен.\r\nАко няма друго стартирано копие на програмата, то може да бъде "
    "премахнато.\r\n\r\n"
    "Да бъде ли премахнато и програмата да продължи?");
inline const QString kNoIniFile =
    QStringLiteral("В работната директория няма инициализиращ файл!   ");
inline const QString kIniReadOnly =
    QStringLiteral("Инициализиращият файл е забранен за писане!    ");
inline const QString kIniUnreadable =
    QStringLiteral("Инициализиращият файл не може да бъде прочетен!");
inline const QString kNoHelpFile = QStringLiteral("Не е открит файлът с помощна информация: ");

// Fixed texts of the application state.
inline const QString kNote = QStringLiteral(
    "1/ Дълга, деноминиран във валута, както и извършените усвоявания и плащания по него, "
    "следва да се дават само в оригинална валута /посочва се вида на валутата/, по отделни "
    "заеми.");
inline const QString kMsgRed =
    QStringLiteral("Червеният шрифт индикира, че няма равнение с данните от предходния месец!");
inline const QString kMsgNoPrev =
    QStringLiteral("Не е открит файл от предходният месец за сравнение на данните!");
inline const QString kInfoTitle = QStringLiteral("Информация!");

// Copying a report to removable media.
inline const QString kDriveNotReady =
    QStringLiteral("Грешка при избор на дестинация на файл за експорт. Устройството не е готово");
inline const QString kChooseFileToSave = QStringLiteral("Изберете файл за съхранение!");
inline const QString kCopyChooseFileTitle = QStringLiteral("Избор на файл");
inline const QString kXmlFileFilters = QStringLiteral("Xml files (*.xml);;All files (*)");

// Report documents: the register, the structure file, the new-document dialog, reading and
// writing reports.
inline const QString kNoObshtiniFile =
    QStringLiteral("В работната директория няма файл със структурата на общините!   \r\n"
                   "Свържете се с дистрибутора на програмата!");
inline const QString kNoStructureFile =
    QStringLiteral("В работната директория няма файл със структурата на документа!   \r\n"
                   "Свържете се с дистрибутора на програмата!");
inline const QString kStructureError = QStringLiteral("Грешка във структурния фаил!");
inline const QString kChooseObshtina = QStringLiteral("Изберете община!    ");
inline const QString kInvalidEbk = QStringLiteral("Невалиден код по ЕБК на общината!");
inline const QString kXmlTampered = QStringLiteral("XML файлът е бил променен неоторизирано!    ");
inline const QString kWriteDenied =
    QStringLiteral("Забранен достъп до файла/директория (ReadOnly) ");
inline const QString kDiskFull = QStringLiteral("Дискът е пълен!");
// Followed by the path, a line break and the system's reason.
inline const QString kDocumentNotSaved = QStringLiteral("Документът не може да бъде записан: ");

// The printed form of the report and its file.
inline const QString kExcelAuthor = QStringLiteral("NVAuthor");
inline const QString kExcelSheetPrefix = QStringLiteral("Лист");
// Followed by a line break and the reason.
inline const QString kExcelWriteFailed = QStringLiteral("Грешка");
inline const QString kExcelFailed = QStringLiteral("Грешката е предизвикана от EXCEL");
inline const QString kExcelNoViewer =
    QStringLiteral("Няма програма за отваряне на електронни таблици. Файлът е записан в: ");
inline const QString kPrintTitle = QStringLiteral("СПРАВКА");
inline const QString kPrintSubtitle =
    QStringLiteral("за структурата и размера на дълга на община ");
inline const QString kPrintSubtitleAt = QStringLiteral(" към ");
inline const QString kPrintNoteHeading = QStringLiteral("Забележка:");
inline const QString kPrintDate = QStringLiteral("Дата:...................");
inline const QString kPrintPreparedBy = QStringLiteral("Изготвил:");
inline const QString kPrintSignatureNote = QStringLiteral("/имена и длъжност на лицето/");
// Reasons for the failures above.
inline const QString kFormPastSheet = QStringLiteral("Клетката е извън листа");
inline const QString kNoPrintoutFolder =
    QStringLiteral("Няма папка, достъпна само за потребителя, която да приеме файла");

// The report editor.
inline const QString kEnterNumber = QStringLiteral("Въведете число!");
inline const QString kAskSave = QStringLiteral("Желаете ли да съхраните промените в документа?");
inline const QString kChooseFile = QStringLiteral("Изберете файл!");
inline const QString kChooseValidXml = QStringLiteral("Изберете валиден XML файл!");
// Followed by CR LF, the path, CR LF and the system's reason.
inline const QString kNotSaved = QStringLiteral("Документът не е записан!");

} // namespace kvor::msg
