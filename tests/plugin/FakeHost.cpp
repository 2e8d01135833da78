#include "FakeHost.h"

#include <QDesktopServices>

QStringList FakeMapDisplay::sequence() const {
    QStringList out;
    for (const Call &call : calls)
        out.append(call.what);
    return out;
}

OpenedUrls::OpenedUrls() {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
}

OpenedUrls::~OpenedUrls() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}
