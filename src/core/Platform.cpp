#include "core/Platform.h"

namespace kvor {

namespace {
Platform* g_platform = nullptr;
} // namespace

Platform& platform()
{
    if (!g_platform) {
        qFatal("kvor: no platform installed");
    }
    return *g_platform;
}

void setPlatform(Platform* p)
{
    g_platform = p;
}

QString ProgramPath(const QString& name)
{
    return platform().ProgramFolder() + QLatin1Char('/') + name;
}

} // namespace kvor
