#pragma once
// The text form of a document's nodes, written in UTF-8 as pugixml holds them and without
// recursion; what the document writer, the hash and the element text are made of.

#include <QString>
#include <pugixml.hpp>
#include <string>

namespace kvor::xmltext {

// UTF-8 as text; unlike QString::fromUtf8, a leading U+FEFF is kept, it is part of the value.
QString textOf(const char* utf8, qsizetype size);
QString textOf(const char* utf8);
QString textOf(const std::string& utf8);

// Appends s with the characters XML needs as references in a value (attribute) or in text.
void appendEscaped(std::string& out, const char* s, bool attribute);
// The length of s once escaped as a value.
qsizetype escapedSize(const char* s);

// Appends the text form of the node and everything below it.
void writeNode(std::string& out, pugi::xml_node top);

// Empty, or why a text holding a character XML forbids cannot be written.
QString forbiddenCharacterReason(const QString& text);

} // namespace kvor::xmltext
