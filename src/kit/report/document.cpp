#include "kit/report/document.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <map>

#include "kit/core/money.h"
#include "kit/db/dataset.h"
#include "kit/report/fonts.h"

namespace kit::report {

namespace {

constexpr double kEpsilon = 1e-6;
constexpr int kMeasureDpi = 1200;
constexpr double kMmPerDot = 25.4 / kMeasureDpi;

// Text measured on a 1200 dpi device with unhinted fonts: the widths the printer
// and the PDF writer give.
class Metrics {
public:
    Metrics() : device_(1, 1, QImage::Format_Mono) {
        const int dpm = qRound(kMeasureDpi / 0.0254);
        device_.setDotsPerMeterX(dpm);
        device_.setDotsPerMeterY(dpm);
    }

    struct Entry {
        QFont font;
        std::unique_ptr<QFontMetricsF> metrics;
    };

    const QFontMetricsF& of(const Font& f) {
        const QString key = QStringLiteral("%1|%2|%3%4%5")
                                .arg(f.family)
                                .arg(f.pointSize)
                                .arg(f.bold)
                                .arg(f.italic)
                                .arg(f.underline);
        auto it = cache_.find(key);
        if (it == cache_.end()) {
            Entry e;
            e.font = toQFont(f);
            e.metrics = std::make_unique<QFontMetricsF>(e.font, &device_);
            it = cache_.emplace(key, std::move(e)).first;
        }
        return *it->second.metrics;
    }
    double width(const Font& f, const QString& text) {
        return of(f).horizontalAdvance(text) * kMmPerDot;
    }
    double lineHeight(const Font& f) { return of(f).height() * kMmPerDot; }
    double ascent(const Font& f) { return of(f).ascent() * kMmPerDot; }

private:
    QImage device_;
    std::map<QString, Entry> cache_;
};

struct Acc {
    qint64 count = 0;
    QHash<QString, Money> sums;
};

// Where the layout stands: a unit is a master row (0 .. rows - 1), then the summary
// (rows), then the end (rows + 1); step is the position inside the unit's bands.
struct Cursor {
    int unit = 0;
    int step = 0;
    int page = 1;
    std::vector<Acc> acc;  // one per group, then the report's
};

struct Instance {
    const Band* band = nullptr;  // null: a marker of no height
    const DataSet* data = nullptr;
    int row = -1;
    int masterRow = -1;
    int groupStart = -1;       // a group run starts here: reset its totals and the inner ones
    int scope = -1;            // the totals Sum and Count read (-1: the report's)
    bool accumulate = false;   // a detail row: count it and add its money
    bool movesMaster = false;  // sub-detail restricted to the master's current row
};

}  // namespace

struct Document::Impl {
    const Report& report;
    QDateTime now;
    Metrics metrics;
    int masterRows = 0;
    std::vector<Cursor> starts;  // where each page known so far starts
    bool counted = false;
    int total = 0;
    QStringList sumFields;
    int cachedUnit = -1;
    std::vector<Instance> cachedList;
    std::vector<std::unique_ptr<QHash<QString, std::vector<int>>>> subIndex;
    DataSet* master = nullptr;
    int masterOriginal = -1;

    explicit Impl(const Report& r) : report(r) {
        now = r.now.isValid() ? r.now : QDateTime::currentDateTime();
        master = r.detailData();
        if (r.detailBand())
            masterRows = master ? master->recordCount() : 1;
        if (master)
            masterOriginal = master->currentIndex();
        Cursor c;
        c.acc.resize(r.groups().size() + 1);
        starts.push_back(c);
        subIndex.resize(r.subDetails().size());
        collectSums();
    }

    void collectSums() {
        auto visit = [&](const Band* b, auto&& self) -> void {
            if (!b)
                return;
            for (const Element& e : b->elements())
                if (e.kind() == Element::Kind::Sum && !sumFields.contains(e.fieldName()))
                    sumFields << e.fieldName();
            for (const auto& c : b->children()) self(c.get(), self);
        };
        visit(report.pageHeaderBand(), visit);
        visit(report.titleBand(), visit);
        visit(report.columnHeaderBand(), visit);
        visit(report.detailBand(), visit);
        visit(report.summaryBand(), visit);
        visit(report.pageFooterBand(), visit);
        for (const auto& g : report.groups()) {
            visit(g.header.get(), visit);
            visit(g.footer.get(), visit);
        }
        for (const auto& s : report.subDetails()) {
            visit(s.band.get(), visit);
            visit(s.header.get(), visit);
            visit(s.footer.get(), visit);
        }
    }

    // Puts the master back on the row it was on.
    void restoreMaster() {
        if (master && master->currentIndex() != masterOriginal && masterOriginal >= 0 &&
            masterOriginal < master->recordCount())
            master->setCurrentIndex(masterOriginal);
    }

    QVariant groupKey(int g, int row) const {
        RowContext ctx{master, master ? row : -1, 0, 0};
        return report.groups()[static_cast<size_t>(g)].key(ctx);
    }

    static QString keyText(const DataSet* ds, int row, const QStringList& fields) {
        QString k;
        for (const QString& f : fields) {
            k += formatValue(ds->valueAt(row, f));
            k += QChar(0x1f);
        }
        return k;
    }

    std::vector<int> subRows(size_t s, int masterRow) {
        const SubDetail& sd = report.subDetails()[s];
        std::vector<int> rows;
        if (!sd.data)
            return rows;
        if (!sd.masterFields.isEmpty() && master) {
            if (!subIndex[s]) {
                subIndex[s] = std::make_unique<QHash<QString, std::vector<int>>>();
                for (int r = 0; r < sd.data->recordCount(); ++r)
                    (*subIndex[s])[keyText(sd.data, r, sd.detailFields)].push_back(r);
            }
            const auto it = subIndex[s]->constFind(keyText(master, masterRow, sd.masterFields));
            if (it != subIndex[s]->constEnd())
                rows = *it;
            return rows;
        }
        if (master && master->currentIndex() != masterRow)
            master->setCurrentIndex(masterRow);
        for (int r = 0; r < sd.data->recordCount(); ++r) rows.push_back(r);
        return rows;
    }

    static void pushBand(std::vector<Instance>& list, const Band* band, Instance in) {
        if (!band || !band->isEnabled())
            return;
        in.band = band;
        list.push_back(in);
        for (const auto& c : band->children()) pushBand(list, c.get(), in);
    }

    const std::vector<Instance>& instances(int unit) {
        if (unit == cachedUnit)
            return cachedList;
        cachedUnit = unit;
        cachedList.clear();
        const int groups = static_cast<int>(report.groups().size());
        if (unit < masterRows) {
            const int row = master ? unit : -1;
            int changedFrom = groups;
            if (unit == 0) {
                changedFrom = 0;
            } else {
                for (int g = 0; g < groups; ++g)
                    if (groupKey(g, unit) != groupKey(g, unit - 1)) {
                        changedFrom = g;
                        break;
                    }
            }
            for (int g = changedFrom; g < groups; ++g) {
                Instance marker;
                marker.groupStart = g;
                marker.data = master;
                marker.row = row;
                cachedList.push_back(marker);
                pushBand(cachedList, report.groups()[static_cast<size_t>(g)].header.get(),
                         Instance{nullptr, master, row, unit, -1, g, false, false});
            }
            Instance detail{nullptr, master, row, unit, -1, -1, true, false};
            const size_t before = cachedList.size();
            pushBand(cachedList, report.detailBand(), detail);
            if (cachedList.size() > before) {
                // Only the detail itself counts; its children share the row.
                for (size_t i = before + 1; i < cachedList.size(); ++i)
                    cachedList[i].accumulate = false;
            } else {
                Instance marker = detail;
                cachedList.push_back(marker);
            }
            for (size_t s = 0; s < report.subDetails().size(); ++s) {
                const SubDetail& sd = report.subDetails()[s];
                const bool moves = sd.masterFields.isEmpty();
                const std::vector<int> rows = subRows(s, unit);
                if (rows.empty()) {
                    if (sd.printIfEmpty)
                        pushBand(cachedList, sd.band.get(),
                                 Instance{nullptr, sd.data, -1, unit, -1, -1, false, moves});
                    continue;
                }
                pushBand(cachedList, sd.header.get(),
                         Instance{nullptr, sd.data, rows.front(), unit, -1, -1, false, moves});
                for (int r : rows)
                    pushBand(cachedList, sd.band.get(),
                             Instance{nullptr, sd.data, r, unit, -1, -1, false, moves});
                pushBand(cachedList, sd.footer.get(),
                         Instance{nullptr, sd.data, rows.back(), unit, -1, -1, false, moves});
            }
            int endFrom = groups;
            if (unit == masterRows - 1) {
                endFrom = 0;
            } else {
                for (int g = 0; g < groups; ++g)
                    if (groupKey(g, unit) != groupKey(g, unit + 1)) {
                        endFrom = g;
                        break;
                    }
            }
            for (int g = groups - 1; g >= endFrom; --g)
                pushBand(cachedList, report.groups()[static_cast<size_t>(g)].footer.get(),
                         Instance{nullptr, master, row, unit, -1, g, false, false});
        } else if (unit == masterRows) {
            const int last = master && masterRows > 0 ? masterRows - 1 : -1;
            pushBand(cachedList, report.summaryBand(),
                     Instance{nullptr, master, last, -1, -1, -1, false, false});
        }
        return cachedList;
    }

    void apply(const Instance& in, Cursor& c) {
        if (in.groupStart >= 0)
            for (size_t g = static_cast<size_t>(in.groupStart); g + 1 < c.acc.size(); ++g)
                c.acc[g] = Acc{};
        if (in.accumulate) {
            for (Acc& a : c.acc) {
                ++a.count;
                if (!in.data)
                    continue;
                for (const QString& f : sumFields) {
                    const QVariant v = in.data->valueAt(in.row, f);
                    if (v.metaType() == QMetaType::fromType<Money>())
                        a.sums[f] += v.value<Money>();
                }
            }
        }
    }

    QString elementText(const Element& e, const RowContext& ctx, const Cursor& c, int scope) {
        const Acc& acc = c.acc[scope < 0 ? c.acc.size() - 1 : static_cast<size_t>(scope)];
        switch (e.kind()) {
            case Element::Kind::Label:
                return e.textValue();
            case Element::Kind::Field:
                return e.prefixText() + formatValue(ctx.value(e.fieldName()), e.formatPattern());
            case Element::Kind::Computed:
                return e.computeFunction() ? e.computeFunction()(ctx) : QString();
            case Element::Kind::Memo:
                return e.fieldName().isEmpty()
                           ? e.textValue()
                           : formatValue(ctx.value(e.fieldName()), e.formatPattern());
            case Element::Kind::SysDate:
                return e.prefixText() + now.date().toString(e.formatPattern().isEmpty()
                                                                ? QStringLiteral("dd/MM/yyyy")
                                                                : e.formatPattern());
            case Element::Kind::SysTime:
                return e.prefixText() + now.time().toString(e.formatPattern().isEmpty()
                                                                ? QStringLiteral("hh:mm:ss")
                                                                : e.formatPattern());
            case Element::Kind::PageNumber: {
                QString t = e.textValue().isEmpty() ? QStringLiteral("%1") : e.textValue();
                t.replace(QLatin1String("%1"), QString::number(ctx.page));
                t.replace(QLatin1String("%2"), QString::number(ctx.pageCount));
                return t;
            }
            case Element::Kind::Sum:
                return e.prefixText() + acc.sums.value(e.fieldName())
                                            .format(e.formatPattern().isEmpty()
                                                        ? QStringLiteral("#,##0.00")
                                                        : e.formatPattern());
            case Element::Kind::Count:
                return e.prefixText() + QString::number(acc.count);
            default:
                return {};
        }
    }

    void textItem(Page& page, const Element& e, const QString& text, double x0, double y0,
                  double boxTop, Band::Kind kind, int row) {
        PageItem it;
        it.kind = PageItem::Kind::Text;
        it.text = text;
        it.font = e.fontDef();
        it.name = e.nameValue();
        it.color = e.colorValue();
        it.band = kind;
        it.row = row;
        const double w = metrics.width(e.fontDef(), text);
        const double h = metrics.lineHeight(e.fontDef());
        it.ascent = metrics.ascent(e.fontDef());
        double x = x0 + e.left();
        if (e.rightEdge() >= 0) {
            x = x0 + e.rightEdge() - w;
        } else if (e.widthMm() > 0) {
            const double box = e.widthMm();
            if (e.alignment() == Align::Center)
                x += (box - w) / 2;
            if (e.alignment() == Align::Right)
                x += box - w;
            if (w > box + kEpsilon)
                it.clip = QRectF(x0 + e.left(), boxTop, box, e.heightMm() > 0 ? e.heightMm() : h);
        }
        it.rect = QRectF(x, y0, w, h);
        page.items.push_back(std::move(it));
    }

    static QStringList wrap(Metrics& m, const Font& f, const QString& text, double width) {
        QStringList lines;
        for (const QString& para : text.split(QLatin1Char('\n'))) {
            QString line;
            for (const QString& word : para.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
                if (line.isEmpty() || m.width(f, candidate) <= width + kEpsilon) {
                    line = candidate;
                } else {
                    lines << line;
                    line = word;
                }
            }
            lines << line;
        }
        return lines;
    }

    void place(Page& page, const Band& band, double x0, double y0, const RowContext& ctx,
               const Cursor& c, int scope) {
        for (const Element& e : band.elements()) {
            if (!e.isVisible())
                continue;
            const double ex = x0 + e.left(), ey = y0 + e.top();
            if (e.isText()) {
                textItem(page, e, elementText(e, ctx, c, scope), x0, ey, ey, band.kind(), ctx.row);
                continue;
            }
            PageItem it;
            it.name = e.nameValue();
            it.band = band.kind();
            it.row = ctx.row;
            it.color = e.colorValue();
            it.penWidth = e.penWidth();
            it.lineStyle = e.lineStyle();
            switch (e.kind()) {
                case Element::Kind::Memo: {
                    const QString text = elementText(e, ctx, c, scope);
                    const double lh = metrics.lineHeight(e.fontDef());
                    const QStringList lines = wrap(metrics, e.fontDef(), text, e.widthMm());
                    Element line = e;
                    line.height(0);
                    for (int i = 0; i < lines.size(); ++i) {
                        if (e.heightMm() > 0 && (i + 1) * lh > e.heightMm() + kEpsilon)
                            break;
                        textItem(page, line, lines[i], x0, ey + i * lh, ey, band.kind(), ctx.row);
                    }
                    break;
                }
                case Element::Kind::Picture:
                    it.kind = PageItem::Kind::Picture;
                    it.rect = QRectF(ex, ey, e.widthMm(), e.heightMm());
                    it.image = e.image();
                    it.stretch = e.stretched();
                    page.items.push_back(std::move(it));
                    break;
                case Element::Kind::Rect:
                    it.kind = PageItem::Kind::Rect;
                    it.rect = QRectF(ex, ey, e.widthMm(), e.heightMm());
                    it.fill = e.fillColor();
                    page.items.push_back(std::move(it));
                    break;
                case Element::Kind::HLine:
                    it.kind = PageItem::Kind::Line;
                    it.rect = QRectF(QPointF(ex, ey), QPointF(ex + e.widthMm(), ey));
                    page.items.push_back(std::move(it));
                    break;
                case Element::Kind::VLine:
                    it.kind = PageItem::Kind::Line;
                    it.rect = QRectF(QPointF(ex, ey), QPointF(ex, ey + e.heightMm()));
                    page.items.push_back(std::move(it));
                    break;
                default:
                    break;
            }
        }
    }

    // Lays out the page the cursor stands at and moves the cursor past it; the
    // items are made only when build is true. True when it was the last page.
    bool layoutPage(Cursor& c, Page* out) {
        const PageSetup& ps = report.page;
        const double x0 = ps.left;
        double y = ps.top;
        auto put = [&](const Band* band, const RowContext& ctx, int scope) {
            if (!band || !band->isEnabled())
                return;
            if (out)
                place(*out, *band, x0, y, ctx, c, scope);
            y += band->height();
        };
        if (out) {
            out->number = c.page;
            out->size = ps.size;
            out->items.clear();
        }
        const RowContext pageCtx{master, -1, c.page, total};
        if (c.page > 1 || report.printFirstPageHeader)
            put(report.pageHeaderBand(), pageCtx, -1);
        if (c.page == 1)
            put(report.titleBand(), pageCtx, -1);
        put(report.columnHeaderBand(), pageCtx, -1);
        const Band* footer = report.pageFooterBand();
        const double bottom =
            ps.size.height() - ps.bottom - (footer && footer->isEnabled() ? footer->height() : 0.0);
        int placed = 0;
        while (c.unit <= masterRows) {
            const std::vector<Instance>& list = instances(c.unit);
            if (c.step >= static_cast<int>(list.size())) {
                ++c.unit;
                c.step = 0;
                continue;
            }
            const Instance in = list[static_cast<size_t>(c.step)];
            const double h = in.band ? in.band->height() : 0.0;
            if (h > 0 && placed > 0 && y + h > bottom + kEpsilon)
                break;
            apply(in, c);
            if (in.band) {
                if (in.movesMaster && master && master->currentIndex() != in.masterRow)
                    master->setCurrentIndex(in.masterRow);
                put(in.band, RowContext{in.data, in.row, c.page, total}, in.scope);
                ++placed;
            }
            ++c.step;
        }
        const bool last = c.unit > masterRows;
        if (footer && footer->isEnabled() && (!last || report.printLastPageFooter)) {
            y = bottom;
            put(footer, pageCtx, -1);
        }
        ++c.page;
        return last;
    }

    // Counts up to page `upTo` (all when 0), keeping where each page starts.
    void countUpTo(int upTo, const Progress& progress) {
        while (!counted && (upTo == 0 || static_cast<int>(starts.size()) < upTo)) {
            Cursor c = starts.back();
            const bool last = layoutPage(c, nullptr);
            if (last) {
                counted = true;
                total = static_cast<int>(starts.size());
            } else {
                starts.push_back(c);
            }
            if (progress && !progress(static_cast<int>(starts.size()), 0))
                break;
        }
        restoreMaster();
    }
};

Document::Document(const Report& report) : d(std::make_unique<Impl>(report)) {}
Document::~Document() = default;

const Report& Document::report() const {
    return d->report;
}
QSizeF Document::paperSize() const {
    return d->report.page.size;
}

int Document::pageCount(const Progress& progress) {
    d->countUpTo(0, progress);
    return d->counted ? d->total : 0;
}

Page Document::page(int number) {
    if (number < 1)
        return {};
    if (d->report.needsPageCount())
        d->countUpTo(0, {});
    d->countUpTo(number, {});
    if (number > static_cast<int>(d->starts.size()))
        return {};
    Cursor c = d->starts[static_cast<size_t>(number - 1)];
    Page p;
    d->layoutPage(c, &p);
    d->restoreMaster();
    return p;
}

bool Document::forEachPage(const std::function<void(const Page&)>& sink, const Progress& progress) {
    if (d->report.needsPageCount()) {
        d->countUpTo(0, {});
        if (!d->counted)
            return false;
    }
    Cursor c = d->starts.front();
    Page p;
    bool ok = true;
    for (;;) {
        const int number = c.page;
        const bool last = d->layoutPage(c, &p);
        if (!last && static_cast<int>(d->starts.size()) == number)
            d->starts.push_back(c);
        if (last && !d->counted) {
            d->counted = true;
            d->total = number;
        }
        sink(p);
        if (progress && !progress(number, d->counted ? d->total : 0)) {
            ok = false;
            break;
        }
        if (last)
            break;
    }
    d->restoreMaster();
    return ok;
}

}  // namespace kit::report
