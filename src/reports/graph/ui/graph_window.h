#pragma once

#include "reports/graph/print_command.h"
#include "reports/graph/trend_export.h"
#include "reports/graph/trend_reading.h"
#include "skin/skinned_window.h"

#include <functional>

class QCheckBox;
class QLabel;

namespace zambrel::store {
class Ledger;
}
namespace zambrel::skin {
class FlatButton;
}

namespace zambrel::graph {

class GraphSurface;

/// The trend graph window "数据分析 Analytics": the graph of the four series
/// over the newest 24 months, its legend, print, save and the net-worth line.
///
/// The legend on the screen is the four labels beside the buttons (readable
/// by assistive technology); the picture on the screen leaves its own legend
/// out, while printouts and files carry it, since they have no labels.
///
/// Created once and hidden between uses: OK and closing hide it.
class GraphWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// Names the file to write: (dialog caption, filter) -> path, empty to
    /// cancel. The window asks a file dialog unless told otherwise.
    using FileChooser = std::function<QString(const QString &caption, const QString &filter)>;
    /// The printer a printout goes to; empty when none is installed.
    using PrinterFinder = std::function<QString()>;

    explicit GraphWindow(QWidget *parent = nullptr);
    ~GraphWindow() override;

    /// Reads the four series from `ledger` and draws them. A series whose
    /// query fails is drawn empty; the failures are reported once. Other
    /// exceptions escape, with the graph left as it was.
    void drawGraph(const store::Ledger &ledger);
    /// Draws `series` (newest month first).
    void showSeries(const TrendSeries &series);

    /// Everything the graph draws, legend included.
    const TrendGeometry &geometry() const { return m_geometry; }
    /// The graph as the window shows it, for printouts and files.
    GraphPicture picture() const;

    /// The print command: the question, then the printer or, with none
    /// installed, a PDF file.
    PrintOutcome print();
    /// Writes the graph as a PDF or PNG file the chooser names; false when
    /// cancelled or failed (a failure is reported).
    bool save();

    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setPrinterFinder(PrinterFinder finder) { m_findPrinter = std::move(finder); }

    // Controls; each has its control name as objectName.
    GraphSurface *const surface;
    QLabel *const incomeLabel;
    QLabel *const expenditureLabel;
    QLabel *const assetsLabel;
    QLabel *const debtLabel;
    QCheckBox *const netWorthBox;
    skin::FlatButton *const saveButton;
    skin::FlatButton *const printButton;
    skin::FlatButton *const okButton;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void takeColours(skin::ColourValue surfaceColour, skin::ColourValue textColour);
    void redraw();
    QString chooseFile(const QString &caption, const QString &filter);

    TrendSeries m_series;
    TrendGeometry m_geometry;
    GraphColours m_colours;
    FileChooser m_chooseFile;
    PrinterFinder m_findPrinter;
    bool m_centred = false;
};

} // namespace zambrel::graph
