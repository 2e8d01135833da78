#pragma once

#include "FakeHost.h"
#include "ModalDriver.h"
#include "plugin/QuellmarkPlugin.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Everything a run needs: a host with a selection, a scratch folder, a driver
// for the dialogs, and the plug-in (declared last: it goes first).
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes text to a file in the scratch folder and returns its path.
    QString writeFile(const QString &name, const QByteArray &text) const;
    // Three track points a minute apart from 2009-05-01 10:00:00 UTC, with elevations.
    QString trackFile() const;

    static pelorin::HostRecording recording(const QString &file, const QString &utc,
                                            const QStringList &species = {});
    // Two recordings inside the track's time span, selected in reverse order.
    void selectTwoRecordings();

    QWidget *panelChild(const char *name) const;
    void click(const char *button) const;

    FakeHostDelegate host;
    QTemporaryDir dir;
    ModalDriver driver;
    OpenedUrls opened;
    QuellmarkPlugin plugin;
};

// Readable failure messages for Qt texts.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}
