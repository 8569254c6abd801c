#pragma once
// The month a report is for. Reports name it as "03 / 2004" and their file names as "2004" and
// "03".

#include <QString>
#include <optional>

namespace kvor {

class Period final
{
public:
    Period() = default;
    // month 1-12, year 0-9999; anything else gives no period (isValid false).
    Period(int month, int year);

    // "MM / YYYY" exactly as the program writes it, else nothing.
    static std::optional<Period> fromText(const QString& text);

    bool isValid() const { return m_month != 0; }
    int month() const { return m_month; }
    int year() const { return m_year; }
    // The month before: December of the year before for January.
    Period previous() const;

    // "03 / 2004"
    QString text() const;
    // The parts of a report's file name: "03" and "2004".
    QString monthText() const;
    QString yearText() const;

    friend bool operator==(const Period&, const Period&) = default;

private:
    int m_month = 0;
    int m_year = 0;
};

} // namespace kvor
