#pragma once
// Report documents saved with their integrity hash.

#include "core/Result.h"

#include <QString>

namespace kvor {

class DomDocument;

// Writes a report document to path with its integrity hash in `hash` (empty when the document is
// too large to be hashed); the document keeps the hash. The text is built once: the hash is taken
// of it and the same text is written through the atomic writer. The Failure carries the path,
// the reason in Bulgarian and the system's error number (WriteFailureMessage makes the user's
// message of them).
[[nodiscard]] Status SaveHashedDocument(DomDocument& doc, const QString& path);

} // namespace kvor
