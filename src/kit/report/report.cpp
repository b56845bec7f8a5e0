#include "kit/report/report.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>

#include "kit/core/money.h"
#include "kit/db/dataset.h"

namespace kit::report {

QVariant RowContext::value(const QString& field) const {
    if (!data || row < 0 || row >= data->recordCount())
        return {};
    return data->valueAt(row, field);
}

QString formatValue(const QVariant& value, const QString& format) {
    if (!value.isValid() || value.isNull())
        return {};
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<Money>())
        return value.value<Money>().format(format.isEmpty() ? QStringLiteral("#,##0.00") : format);
    switch (type.id()) {
        case QMetaType::QDate:
            return value.toDate().toString(format.isEmpty() ? QStringLiteral("dd/MM/yyyy")
                                                            : format);
        case QMetaType::QDateTime:
            return value.toDateTime().toString(
                format.isEmpty() ? QStringLiteral("dd/MM/yyyy hh:mm:ss") : format);
        case QMetaType::QTime:
            return value.toTime().toString(format.isEmpty() ? QStringLiteral("hh:mm:ss") : format);
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            if (format.isEmpty())
                return value.toString();
            return Money::fromReais(value.toLongLong()).format(format);
        case QMetaType::Double:
        case QMetaType::Float:
            if (format.isEmpty())
                return value.toString();
            return Money::fromCents(std::llround(value.toDouble() * 100.0)).format(format);
        default:
            return value.toString();
    }
}

Element& Band::add(Element e) {
    elements_.push_back(std::move(e));
    return elements_.back();
}

Element& Band::label(const QString& text, double left, double top) {
    return add(Element(Element::Kind::Label)).text(text).at(left, top);
}

Element& Band::field(const QString& field, double left, double top) {
    return add(Element(Element::Kind::Field)).field(field).at(left, top);
}

Element& Band::computed(std::function<QString(const RowContext&)> f, double left, double top) {
    return add(Element(Element::Kind::Computed)).compute(std::move(f)).at(left, top);
}

Element& Band::memo(const QString& text, double left, double top, double width, double height) {
    return add(Element(Element::Kind::Memo)).text(text).at(left, top).size(width, height);
}

Element& Band::memoField(const QString& field, double left, double top, double width,
                         double height) {
    return add(Element(Element::Kind::Memo)).field(field).at(left, top).size(width, height);
}

Element& Band::picture(const QImage& image, double left, double top, double width, double height,
                       bool stretch) {
    return add(Element(Element::Kind::Picture))
        .picture(image, stretch)
        .at(left, top)
        .size(width, height);
}

Element& Band::rect(double left, double top, double width, double height) {
    return add(Element(Element::Kind::Rect)).at(left, top).size(width, height);
}

Element& Band::hline(double left, double top, double width) {
    return add(Element(Element::Kind::HLine)).at(left, top).size(width, 0);
}

Element& Band::vline(double left, double top, double height) {
    return add(Element(Element::Kind::VLine)).at(left, top).size(0, height);
}

Element& Band::sysDate(double left, double top) {
    return add(Element(Element::Kind::SysDate)).at(left, top);
}

Element& Band::sysTime(double left, double top) {
    return add(Element(Element::Kind::SysTime)).at(left, top);
}

Element& Band::pageNumber(const QString& pattern, double left, double top) {
    return add(Element(Element::Kind::PageNumber)).text(pattern).at(left, top);
}

Element& Band::sum(const QString& moneyField, double left, double top) {
    return add(Element(Element::Kind::Sum)).field(moneyField).at(left, top);
}

Element& Band::count(double left, double top) {
    return add(Element(Element::Kind::Count)).at(left, top);
}

Band& Band::addChild(double height) {
    children_.push_back(std::make_unique<Band>(Kind::Child, height));
    return *children_.back();
}

namespace {
Band& makeBand(std::unique_ptr<Band>& slot, Band::Kind kind, double height) {
    slot = std::make_unique<Band>(kind, height);
    return *slot;
}

template <typename F>
void forEachBand(const Band* band, F&& f) {
    if (!band)
        return;
    f(*band);
    for (const auto& c : band->children()) forEachBand(c.get(), f);
}
}  // namespace

Band& Report::pageHeader(double height) {
    return makeBand(pageHeader_, Band::Kind::PageHeader, height);
}
Band& Report::title(double height) {
    return makeBand(title_, Band::Kind::Title, height);
}
Band& Report::columnHeader(double height) {
    return makeBand(columnHeader_, Band::Kind::ColumnHeader, height);
}
Band& Report::detail(double height, DataSet* data) {
    detailData_ = data;
    return makeBand(detail_, Band::Kind::Detail, height);
}
Band& Report::summary(double height) {
    return makeBand(summary_, Band::Kind::Summary, height);
}
Band& Report::pageFooter(double height) {
    return makeBand(pageFooter_, Band::Kind::PageFooter, height);
}

Group& Report::addGroup(std::function<QVariant(const RowContext&)> key, double headerHeight,
                        double footerHeight) {
    Group g;
    g.key = std::move(key);
    if (headerHeight > 0)
        g.header = std::make_unique<Band>(Band::Kind::GroupHeader, headerHeight);
    if (footerHeight > 0)
        g.footer = std::make_unique<Band>(Band::Kind::GroupFooter, footerHeight);
    groups_.push_back(std::move(g));
    return groups_.back();
}

SubDetail& Report::addSubDetail(double height, DataSet* data, const QStringList& masterFields,
                                const QStringList& detailFields) {
    SubDetail s;
    s.band = std::make_unique<Band>(Band::Kind::SubDetail, height);
    s.data = data;
    s.masterFields = masterFields;
    s.detailFields = detailFields;
    subDetails_.push_back(std::move(s));
    return subDetails_.back();
}

template <typename F>
static void forEachReportBand(const Report& r, F&& f) {
    forEachBand(r.pageHeaderBand(), f);
    forEachBand(r.titleBand(), f);
    forEachBand(r.columnHeaderBand(), f);
    forEachBand(r.detailBand(), f);
    for (const auto& g : r.groups()) {
        forEachBand(g.header.get(), f);
        forEachBand(g.footer.get(), f);
    }
    for (const auto& s : r.subDetails()) {
        forEachBand(s.band.get(), f);
        forEachBand(s.header.get(), f);
        forEachBand(s.footer.get(), f);
    }
    forEachBand(r.summaryBand(), f);
    forEachBand(r.pageFooterBand(), f);
}

Element* Report::find(const QString& name) {
    Element* found = nullptr;
    forEachReportBand(*this, [&](const Band& b) {
        if (found)
            return;
        for (const Element& e : b.elements())
            if (e.nameValue() == name) {
                found = const_cast<Element*>(&e);
                return;
            }
    });
    return found;
}

bool Report::setText(const QString& name, const QString& text) {
    Element* e = find(name);
    if (!e)
        return false;
    e->text(text);
    return true;
}

bool Report::needsPageCount() const {
    bool needs = false;
    forEachReportBand(*this, [&](const Band& b) {
        for (const Element& e : b.elements())
            if (e.kind() == Element::Kind::PageNumber &&
                e.textValue().contains(QLatin1String("%2")))
                needs = true;
    });
    return needs;
}

}  // namespace kit::report
