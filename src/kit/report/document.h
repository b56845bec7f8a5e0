#pragma once

// Lays a Report out into pages of the page model (page.h).
//
// Pages are made one at a time: page(n) lays out page n alone, from where it
// starts, and forEachPage() hands the pages over in order, each dropped before the
// next is made. Where each page starts (a row position and the running totals, a
// few bytes) is kept for every page met so far; counting the pages is one layout
// pass that keeps only those starts. Nothing else of a page outlives the call
// that made it.

#include <functional>
#include <memory>

#include "kit/report/page.h"
#include "kit/report/report.h"

namespace kit::report {

// page: 1-based page just laid out; total: the page count when known, else 0.
// Returning false stops the work.
using Progress = std::function<bool(int page, int total)>;

class Document {
public:
    // The report and its data sets must outlive the document and not change while
    // it is used (a new Document after a change).
    explicit Document(const Report& report);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const Report& report() const;
    QSizeF paperSize() const;

    // Counts the pages (once; later calls return the count at once).
    int pageCount(const Progress& progress = {});
    // Page n, 1-based; an empty page (number 0) when there is no such page.
    Page page(int number);
    // Every page in order; false when progress stopped it.
    bool forEachPage(const std::function<void(const Page&)>& sink, const Progress& progress = {});

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace kit::report
