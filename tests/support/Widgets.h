#pragma once
// Reaches the controls of a window the way assistive technology does: by their object names.

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace kvor::test {

// The control named `name` in `window`; a window without it ends the test run at once, since
// every later step would only fail less clearly.
template <class T> T* Child(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("%s has no %s", qPrintable(window.objectName()), name);
    }
    return found;
}

} // namespace kvor::test
