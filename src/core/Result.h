#pragma once
// What an operation of the core gives back: its value, or what failed and why. The core never
// talks to the user; the windows turn a Failure into the message a person sees.

#include <QString>

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

namespace kvor {

struct Failure
{
    // What went wrong, as far as the caller needs to choose a message.
    enum class Kind
    {
        NotFound,      // the file or folder does not exist
        NotReadable,   // it exists but cannot be read (permissions, not a regular file)
        NotWellFormed, // read, but not XML this program accepts
        NotAReport,    // well-formed, but not what was expected (a report, a structure, ...)
        DiskFull,      // no room left on the medium (ENOSPC, EDQUOT, EFBIG)
        ReadOnly,      // the medium or the folder may not be written
        WriteFailed,   // any other failed write; the old file is left as it was
        Invalid,       // a value the operation cannot take (an amount, a period, ...)
        Cancelled,     // the user said no
    };
    // Which of the program's files or values it concerns, where the message depends on it.
    enum class Subject
    {
        Unspecified,
        Register,   // the municipality register of the install
        Structure,  // the form of the report of the install
        Settings,   // kvor.ini
        Report,     // the report in Data being opened, created or saved
        ChosenFile, // a file the user chose, which names a report
        Copy,       // a report being copied to another folder
    };

    Kind kind = Kind::Invalid;
    QString path;        // the file or folder concerned; empty when none
    int systemError = 0; // errno when the system refused, else 0
    QString reason;      // in Bulgarian, for the message's detail line
    Subject subject = Subject::Unspecified;

    static Failure of(Kind kind, QString path = {}, QString reason = {}, int systemError = 0)
    {
        return Failure{kind, std::move(path), systemError, std::move(reason)};
    }
    // The same failure, said of `about`.
    Failure about(Subject about) const
    {
        Failure f = *this;
        f.subject = about;
        return f;
    }
};

// A value or a Failure. `Result<>` (void) is success or a Failure.
template <typename T = void> class [[nodiscard]] Result final
{
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const&
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() &&
    {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Failure& failure() const
    {
        assert(!ok());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, Failure> m_state;
};

template <> class [[nodiscard]] Result<void> final
{
public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure.has_value(); }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const
    {
        assert(!ok());
        return *m_failure;
    }

private:
    std::optional<Failure> m_failure;
};

using Status = Result<void>;

} // namespace kvor
