#pragma once
// Keeps a second copy of the program from running on the same program folder.

#include <QLockFile>
#include <QString>
#include <memory>

namespace kvor {

class SingleInstance final
{
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();

    // True when this copy is now the only one running on the folder. A lock left behind by a
    // copy that crashed is taken over.
    bool tryAcquire();
    void release();

    static QString lockPath(const QString& programFolder);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace kvor
