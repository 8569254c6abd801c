#pragma once
// Report documents: creating a new one from the structure, opening one with the period and the
// municipality stamped in, and saving it with the integrity hash.

#include "core/Result.h"

#include <QString>

namespace kvor {

struct AppState;
class DomDocument;

// Makes the state's xmlDoc the report at path, creating the file from xmlStructure when it does
// not exist, stamps the state's period and municipality into `period`, `ob_name` and `ebk` and
// saves at once. False, after telling the user why, when the file cannot be created, read as XML
// (it is then left as it was) or saved.
bool OpenDocument(AppState& state, const QString& path);

// Writes a new, empty report for `structure` to path; a failure is shown to the user and gives
// false. Changes `structure` in memory (the rows lose their captions) until it is loaded again.
bool CreateDocumentFile(DomDocument& structure, const QString& path);

// The text of a new report file: single-quoted declaration, no line breaks.
QString SkeletonText(const QString& version, const QString& structureXml);

// The `structure` element of a new report, in its text form. Takes the captions off the rows of
// `structure` and gives them one "0" attribute per stored column.
QString BuildEmptyStructure(DomDocument& structure);

// Writes a report document to path with its integrity hash in `hash` (empty when the document is
// too large to be hashed); the document keeps the hash. The text is built once: the hash is taken
// of it and the same text is written through the atomic writer. The Failure carries the path,
// the reason in Bulgarian and the system's error number (WriteFailureMessage makes the user's
// message of them).
[[nodiscard]] Status SaveHashedDocument(DomDocument& doc, const QString& path);

} // namespace kvor
