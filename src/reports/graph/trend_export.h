#pragma once

#include "reports/graph/trend_painter.h"

#include <QSizeF>
#include <QString>

class QPrinter;

namespace zambrel::graph {

/// A graph as the window shows it: what to draw, in which colours, and the
/// size of the window's drawing in screen pixels. Printouts and files scale
/// that picture, so they look as the window does.
struct GraphPicture {
    TrendGeometry geometry;
    GraphColours colours;
    QSizeF size{900, 600};
};

/// How an output went; `error` says what failed, for the message routine.
struct ExportResult {
    bool ok = false;
    QString error;
    explicit operator bool() const { return ok; }
};

/// Files are written as the program writes every file it makes: readable by
/// their owner alone, and an earlier file of the name is replaced only by a
/// complete one.

/// Writes the picture as a PNG image of its size times `devicePixelRatio`.
ExportResult writeTrendGraphPng(const QString &path, const GraphPicture &picture, qreal devicePixelRatio = 1);

/// Writes the picture as a one-page PDF: A4 landscape at 300 dpi, the
/// picture fitted inside 10 mm margins. A4 landscape rather than a page of
/// the picture's own shape, because the PDF stands in for the printout where
/// no printer is installed; it prints as it is on any printer.
ExportResult writeTrendGraphPdf(const QString &path, const GraphPicture &picture);

/// Writes a PNG when `path` ends in ".png" (any case), a PDF otherwise.
ExportResult saveTrendGraph(const QString &path, const GraphPicture &picture, qreal devicePixelRatio = 1);

/// The file dialog's filter for saveTrendGraph(): PDF first.
QString trendGraphFileFilter();

/// The file dialog's filter for a PDF alone (the print road without a printer).
QString pdfFileFilter();

/// `path` as the file dialog returned it, given the suffix of the filter the
/// person chose (".png" for the PNG filter, ".pdf" otherwise) unless the name
/// ends in ".png" or ".pdf" (any letter case) already; saveTrendGraph() then
/// writes what was chosen.
QString withChosenSuffix(const QString &path, const QString &selectedFilter);

/// Prints the picture on one landscape page of `printer`, fitted inside the
/// printable area. The printer is used as it is set up otherwise (name,
/// paper, resolution, output file).
ExportResult printTrendGraph(QPrinter &printer, const GraphPicture &picture);

} // namespace zambrel::graph
