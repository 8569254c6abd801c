#pragma once
// A written file judged by readers that share no code with the program: the system's converter
// (iconv), which knows no character for byte 0x98 of Windows-1251, and expat, a strict XML
// parser, reading the file in the code page that converter gives.

#include <QByteArray>
#include <QString>
#include <expat.h>
#include <iconv.h>
#include <string>

namespace kvor::test {

// The character of each Windows-1251 byte as iconv has it, -1 where it has none.
inline int Cp1251ByIconv(unsigned char byte)
{
    iconv_t cd = ::iconv_open("UTF-32LE", "CP1251");
    char in = static_cast<char>(byte);
    char32_t out = 0;
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(&out);
    size_t inLeft = 1;
    size_t outLeft = sizeof(out);
    const size_t done = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    return done == static_cast<size_t>(-1) ? -1 : static_cast<int>(out);
}

inline int Cp1251Encoding(void*, const XML_Char* name, XML_Encoding* info)
{
    if (QString::fromUtf8(name).compare(QStringLiteral("windows-1251"), Qt::CaseInsensitive) != 0) {
        return XML_STATUS_ERROR;
    }
    for (int b = 0; b < 256; ++b) {
        info->map[b] = Cp1251ByIconv(static_cast<unsigned char>(b));
    }
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

// Empty when the bytes are a well-formed document in strict Windows-1251 that says so in its
// declaration; else what is wrong.
inline std::string IndependentXmlProblem(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>")) {
        return "no windows-1251 declaration";
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (Cp1251ByIconv(static_cast<unsigned char>(bytes[i])) < 0) {
            return "iconv: byte " + std::to_string(i) + " is no Windows-1251 character";
        }
    }
    XML_Parser parser = ::XML_ParserCreate(nullptr);
    ::XML_SetUnknownEncodingHandler(parser, Cp1251Encoding, nullptr);
    std::string problem;
    if (::XML_Parse(parser, bytes.constData(), static_cast<int>(bytes.size()), 1) !=
        XML_STATUS_OK) {
        problem = std::string("expat: ") + ::XML_ErrorString(::XML_GetErrorCode(parser)) +
                  " at line " + std::to_string(::XML_GetCurrentLineNumber(parser)) + ", column " +
                  std::to_string(::XML_GetCurrentColumnNumber(parser));
    }
    ::XML_ParserFree(parser);
    return problem;
}

} // namespace kvor::test
