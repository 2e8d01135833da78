#include "PluginFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

void PluginTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    pelorin::setHostDelegate(this);
    QDesktopServices::setUrlHandler("file", this, "open");
    connect(&driver, &QTimer::timeout, this, &PluginTest::answerModal);
    driver.start(10);
}

void PluginTest::TearDown() {
    QDesktopServices::unsetUrlHandler("file");
    pelorin::setHostDelegate(nullptr);
    oldTemp.isEmpty() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTemp);
    EXPECT_TRUE(steps.empty()) << "dialogs expected but never shown";
}

void PluginTest::answerModal() {
    QWidget *top = QApplication::activeModalWidget();
    if (!top || top == lastModal)
        return;
    lastModal = top;
    const QString name = top->objectName().isEmpty() ? top->metaObject()->className() : top->objectName();
    if (!steps.empty() && steps.front().first == name) {
        QTimer::singleShot(0, top, [top, act = std::move(steps.front().second)] { act(top); });
        steps.pop_front();
        return;
    }
    // A window under a closing dialog shows through for a moment: only one that stays is unexpected.
    QTimer::singleShot(1000, top, [top, name] {
        if (QApplication::activeModalWidget() != top)
            return;
        ADD_FAILURE() << "unexpected modal widget " << name.toStdString();
        top->close(); // a dialog rejected
    });
}

QString PluginTest::writeFile(const QString &name, const QByteArray &text) const {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size()) << name.toStdString();
    return file.fileName();
}

QByteArray PluginTest::contents(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QString PluginTest::trackFile() const {
    return writeFile(
        "track.gpx",
        R"(<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1"><trk><trkseg>
  <trkpt lat="48.10" lon="11.50"><ele>500.0</ele><time>2009-05-01T10:00:00Z</time></trkpt>
  <trkpt lat="48.1000001" lon="11.60"><ele>510.0</ele><time>2009-05-01T10:01:00Z</time></trkpt>
  <trkpt lat="48.05" lon="11.70"><ele>520.0</ele><time>2009-05-01T10:02:00Z</time></trkpt>
</trkseg></trk></gpx>)");
}

QString PluginTest::twoLogs() const {
    const auto log = [this](const char *name, const char *lat, const char *first, const char *second) {
        const auto fix = [lat](const char *lon, const char *time) {
            return QByteArray("<trkpt lat=\"") + lat + "\" lon=\"" + lon + "\"><time>2009-05-01T" + time +
                   "Z</time></trkpt>";
        };
        return writeFile(name,
                         "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
                         "<trk><trkseg>" +
                             fix("11.5", first) + fix("11.6", second) + "</trkseg></trk></gpx>");
    };
    return "\"" + log("night10.gpx", "48.2", "10:01:20", "10:02:00") + "\" \"" +
           log("night2.gpx", "48.1", "10:00:00", "10:01:00") + "\"";
}

pelorin::HostRecording PluginTest::rec(const QString &file, const QString &utc, const QString &species) {
    return {QDateTime::fromString(utc, Qt::ISODate), file,
            species.isEmpty() ? QList<pelorin::HostSpecies>{}
                              : QList{pelorin::HostSpecies{pelorin::HostTaxon{species}}}};
}

void PluginTest::selectTwo() {
    selection = QList{rec("late.wav", "2009-05-01T10:01:30Z", "Nyc"),
                      rec("early.wav", "2009-05-01T10:00:30Z", "Pip")};
}

PluginTest::Step PluginTest::press(const char *button) {
    return {"PelorinMain",
            [this, button](QWidget *) { plugin.myPanel->findChild<QAbstractButton *>(button)->click(); }};
}

PluginTest::Step PluginTest::chooseFile(const QString &path) {
    return {"QFileDialog", [path](QWidget *dialog) {
                // Typed: selectFile() leaves a focused name field alone.
                dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path);
                static_cast<QDialog *>(dialog)->accept();
            }};
}

PluginTest::Step PluginTest::saveAs(const QString &path, int kind) {
    return {"QFileDialog", [=](QWidget *widget) {
                auto *dialog = static_cast<QFileDialog *>(widget);
                dialog->selectNameFilter(dialog->nameFilters().at(kind));
                emit dialog->filterSelected(dialog->nameFilters().at(kind));
                chooseFile(path).second(dialog);
            }};
}

PluginTest::Step PluginTest::answerAlert(QStringList *seen) {
    return {"QMessageBox", [seen](QWidget *widget) {
                auto *alert = static_cast<QMessageBox *>(widget);
                EXPECT_EQ(alert->windowModality(), Qt::ApplicationModal)
                    << "alerts hold the whole application";
                *seen = QStringList{alert->text(), alert->informativeText()};
                for (QAbstractButton *button : alert->buttons())
                    *seen << button->text();
                alert->buttons().constFirst()->click();
            }};
}
