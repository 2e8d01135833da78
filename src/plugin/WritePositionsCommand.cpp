// The Write positions command: the panel's placed recordings get their
// positions in their WAV files' GUANO metadata, after a confirmation, with
// progress and a report.
#include "plugin/AlertPanel.h"
#include "plugin/PanelTexts.h"
#include "plugin/PositionWriteBack.h"
#include "plugin/QuellmarkPlugin.h"
#include "plugin/RecordingsArrayController.h"
#include "text/NumberText.h"

#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

using namespace pelorin;

namespace {
constexpr int kProgressDelayMs = 500;
} // namespace

void QuellmarkPlugin::writePositionsIntoRecordings() {
    if (!listsPresent())
        return;
    if (!placeOrExplain())
        return;
    // The rows read from files, with their recordings and placements in the pass's order.
    const QList<HostRecording> arranged = recController->arrangedObjects();
    std::vector<PositionWriteItem> items;
    std::size_t placed = 0;
    for (qsizetype i = 0; i < arranged.size() && static_cast<std::size_t>(i) < placements.size(); ++i) {
        if (arranged[i].path().isEmpty())
            continue;
        const auto at = static_cast<std::size_t>(i);
        items.push_back(
            {QFile::encodeName(arranged[i].path()).toStdString(), &runRecordings[at], &placements[at]});
        placed += placements[at].placed() ? 1 : 0;
    }
    if (items.empty())
        return;

    const QString title = tr("Write positions into recordings");
    QMessageBox confirm(myPanel);
    confirm.setWindowModality(Qt::ApplicationModal);
    confirm.setIcon(QMessageBox::Question);
    confirm.setWindowTitle(title);
    confirm.setText(title);
    confirm.setInformativeText(
        tr("%1 of %2 recordings are placed: their WAV files get the position in their GUANO metadata. %3 not "
           "placed are left as they are. Only the metadata changes, never the audio.")
            .arg(placed)
            .arg(items.size())
            .arg(items.size() - placed));
    QPushButton *write = confirm.addButton(tr("Write"), QMessageBox::AcceptRole);
    confirm.addButton(tr("Cancel"), QMessageBox::RejectRole);
    confirm.setDefaultButton(write);
    confirm.exec();
    if (confirm.clickedButton() != write)
        return;

    QProgressDialog progress(tr("Writing positions into recordings…"), tr("Stop"), 0,
                             static_cast<int>(items.size()), myPanel);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    const PositionWriteOutcome outcome =
        writeGuanoPositions(items, gpsLogNames.empty() ? std::string() : gpsLogNames.front(), clockOffset(),
                            [&progress](std::size_t done) {
                                progress.setValue(static_cast<int>(done));
                                return !progress.wasCanceled();
                            });
    progress.reset();

    if (HostDelegate *delegate = hostDelegate()) {
        if (RecordingsController *host = delegate->recordingsController(); host && !outcome.changed.empty()) {
            QStringList changed;
            for (const std::string &path : outcome.changed)
                changed << QFile::decodeName(path.c_str());
            host->filesChanged(changed);
        }
    }
    runAlertPanel(myPanel, title, PanelTexts::writeBackReport(outcome, items.size()));
}
