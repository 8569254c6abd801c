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

QString InstallPath(const QString& name)
{
    return platform().InstallFolder() + QLatin1Char('/') + name;
}

QString UserPath(const QString& name)
{
    return platform().UserFolder() + QLatin1Char('/') + name;
}

} // namespace kvor
