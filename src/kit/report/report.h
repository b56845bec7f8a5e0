#pragma once

// A banded report declared in millimetres: the paper, its bands and their elements.
// A layout class builds one Report, binds its detail band to a data set, fills the
// labels it names and hands it to Document (page model), writePdf(), printReport()
// or PreviewDialog.

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace kit {
class DataSet;
}

namespace kit::report {

enum class Align { Left, Center, Right };
enum class LineStyle { Solid, Dotted };

// A font as the layouts name it ("Arial", "Tahoma", "Garamond"); the family is
// mapped to an installed, metric-compatible one when the page is laid out (fonts.h).
struct Font {
    QString family = QStringLiteral("Arial");
    double pointSize = 8.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

// The paper: size and margins in millimetres. Positions of bands and elements are
// measured from the top-left corner of the printable area (inside the margins).
struct PageSetup {
    QSizeF size{210.0, 297.0};  // width × length
    double top = 10.0, bottom = 10.0, left = 6.0, right = 6.0;

    static PageSetup a4Portrait() { return {}; }
    static PageSetup a4Landscape() { return PageSetup{QSizeF(297.0, 210.0)}; }
    static PageSetup custom(double width, double length) {
        return PageSetup{QSizeF(width, length)};
    }
    PageSetup& margins(double t, double b, double l, double r) {
        top = t;
        bottom = b;
        left = l;
        right = r;
        return *this;
    }
    double printableWidth() const { return size.width() - left - right; }
    double printableHeight() const { return size.height() - top - bottom; }
};

// What an element sees of the row being printed.
struct RowContext {
    const DataSet* data = nullptr;  // null for bands without a data set
    int row = -1;                   // visible row of data; -1 when none (an empty sub-detail)
    int page = 0;                   // 1-based
    int pageCount = 0;              // 0 while the total is not known
    QVariant value(const QString& field) const;
};

// Formats a value with a display format: money (kit::Money) with a Money pattern
// ("#,##0.00", ",0.##", "R$ #,##0.00"; default "#,##0.00"), dates with a Qt date
// pattern (default "dd/MM/yyyy"), times ("hh:mm:ss"), integers and decimals with a
// numeric pattern ("#,##0", "0.00"); anything else as text. NULL gives "".
QString formatValue(const QVariant& value, const QString& format = {});

class Element {
public:
    enum class Kind {
        Label,       // fixed text
        Field,       // a field of the band's data set, formatted
        Computed,    // text computed from the row (compute)
        Memo,        // word-wrapped text (fixed or from a field) in a box of fixed height
        Picture,     // an image, stretched over its box or at its own size
        Rect,        // a frame, optionally filled
        HLine,       // horizontal rule along the top of its box, width long
        VLine,       // vertical rule along the left of its box, height long
        SysDate,     // prefix + current date ("dd/MM/yyyy")
        SysTime,     // prefix + current time ("hh:mm:ss")
        PageNumber,  // text with %1 = page, %2 = page count ("Página %1 de %2")
        Sum,         // the sum of a money field over the group (in a group footer) or the report
        Count,       // the number of rows of the group or the report
    };

    explicit Element(Kind kind) : kind_(kind) {}

    // Position and size in millimetres from the band's top-left corner. A text whose
    // width is 0 is sized to its text; height 0 is the font's line height.
    Element& at(double left, double top) {
        left_ = left;
        top_ = top;
        return *this;
    }
    Element& size(double width, double height) {
        width_ = width;
        height_ = height;
        return *this;
    }
    Element& width(double w) {
        width_ = w;
        return *this;
    }
    Element& height(double h) {
        height_ = h;
        return *this;
    }
    // A text sized to itself whose right end sits at this position (right-aligned).
    Element& rightEdgeAt(double right, double top) {
        rightEdge_ = right;
        top_ = top;
        align_ = Align::Right;
        return *this;
    }
    Element& align(Align a) {
        align_ = a;
        return *this;
    }
    Element& font(const QString& family, double pointSize, bool bold = false) {
        font_.family = family;
        font_.pointSize = pointSize;
        font_.bold = bold;
        return *this;
    }
    Element& font(const Font& f) {
        font_ = f;
        return *this;
    }
    Element& bold(bool on = true) {
        font_.bold = on;
        return *this;
    }
    Element& text(const QString& t) {
        text_ = t;
        return *this;
    }
    Element& field(const QString& f) {
        field_ = f;
        return *this;
    }
    Element& format(const QString& f) {
        format_ = f;
        return *this;
    }
    Element& prefix(const QString& p) {
        prefix_ = p;
        return *this;
    }
    Element& compute(std::function<QString(const RowContext&)> f) {
        compute_ = std::move(f);
        return *this;
    }
    Element& picture(const QImage& image, bool stretch = true) {
        image_ = image;
        stretch_ = stretch;
        return *this;
    }
    Element& stretch(bool on) {
        stretch_ = on;
        return *this;
    }
    Element& pen(double widthMm, LineStyle style = LineStyle::Solid) {
        penWidth_ = widthMm;
        lineStyle_ = style;
        return *this;
    }
    Element& dotted() {
        lineStyle_ = LineStyle::Dotted;
        return *this;
    }
    Element& color(const QColor& c) {
        color_ = c;
        return *this;
    }
    Element& fill(const QColor& c) {
        fill_ = c;
        return *this;
    }
    // A hidden element takes no part in the page (moving a design-time picture out of
    // the page comes to the same).
    Element& visible(bool on) {
        visible_ = on;
        return *this;
    }
    Element& name(const QString& n) {
        name_ = n;
        return *this;
    }

    Kind kind() const { return kind_; }
    double left() const { return left_; }
    double top() const { return top_; }
    double widthMm() const { return width_; }
    double heightMm() const { return height_; }
    double rightEdge() const { return rightEdge_; }  // < 0: not right-anchored
    Align alignment() const { return align_; }
    const Font& fontDef() const { return font_; }
    const QString& textValue() const { return text_; }
    const QString& fieldName() const { return field_; }
    const QString& formatPattern() const { return format_; }
    const QString& prefixText() const { return prefix_; }
    const std::function<QString(const RowContext&)>& computeFunction() const { return compute_; }
    const QImage& image() const { return image_; }
    bool stretched() const { return stretch_; }
    double penWidth() const { return penWidth_; }
    LineStyle lineStyle() const { return lineStyle_; }
    const QColor& colorValue() const { return color_; }
    const QColor& fillColor() const { return fill_; }
    bool isVisible() const { return visible_; }
    const QString& nameValue() const { return name_; }
    bool isText() const {
        return kind_ == Kind::Label || kind_ == Kind::Field || kind_ == Kind::Computed ||
               kind_ == Kind::SysDate || kind_ == Kind::SysTime || kind_ == Kind::PageNumber ||
               kind_ == Kind::Sum || kind_ == Kind::Count;
    }

private:
    Kind kind_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0, rightEdge_ = -1;
    Align align_ = Align::Left;
    Font font_;
    QString text_, field_, format_, prefix_, name_;
    std::function<QString(const RowContext&)> compute_;
    QImage image_;
    bool stretch_ = true;
    double penWidth_ = 0.2;
    LineStyle lineStyle_ = LineStyle::Solid;
    QColor color_ = Qt::black;
    QColor fill_;  // invalid: not filled
    bool visible_ = true;
};

// A horizontal strip of fixed height, printed whole: when it does not fit in what
// is left of the page it starts the next one.
class Band {
public:
    enum class Kind {
        PageHeader,
        Title,
        ColumnHeader,
        Detail,
        SubDetail,
        GroupHeader,
        GroupFooter,
        Child,
        Summary,
        PageFooter
    };

    Band(Kind kind, double height) : kind_(kind), height_(height) {}
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    Kind kind() const { return kind_; }
    double height() const { return height_; }
    void setHeight(double mm) { height_ = mm; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

    // Elements, at positions relative to the band. References stay valid.
    Element& label(const QString& text, double left, double top);
    Element& field(const QString& field, double left, double top);
    Element& computed(std::function<QString(const RowContext&)> f, double left, double top);
    Element& memo(const QString& text, double left, double top, double width, double height);
    Element& memoField(const QString& field, double left, double top, double width, double height);
    Element& picture(const QImage& image, double left, double top, double width, double height,
                     bool stretch = true);
    Element& rect(double left, double top, double width, double height);
    Element& hline(double left, double top, double width);
    Element& vline(double left, double top, double height);
    Element& sysDate(double left, double top);
    Element& sysTime(double left, double top);
    // "Página %1 de %2" style; %2 makes the report count its pages first.
    Element& pageNumber(const QString& pattern, double left, double top);
    Element& sum(const QString& moneyField, double left, double top);
    Element& count(double left, double top);
    Element& add(Element e);

    const std::deque<Element>& elements() const { return elements_; }
    std::deque<Element>& elements() { return elements_; }

    // A band printed right after this one, with the same row (a child band).
    Band& addChild(double height);
    const std::deque<std::unique_ptr<Band>>& children() const { return children_; }

private:
    Kind kind_;
    double height_;
    bool enabled_ = true;
    std::deque<Element> elements_;
    std::deque<std::unique_ptr<Band>> children_;
};

// A group over the detail rows: the header prints before the first row of each
// run of equal keys, the footer after its last row; Sum and Count elements of the
// footer total that run.
struct Group {
    std::function<QVariant(const RowContext&)> key;
    std::unique_ptr<Band> header;  // may be null
    std::unique_ptr<Band> footer;  // may be null
};

// A sub-detail: for every row of the detail (master) band, the rows of its own data
// set that belong to that row. With link fields, the rows whose detailFields equal
// the master row's masterFields (in the data set's visible order); without them,
// the data set is taken to be restricted to the master's current row
// (DataSet::setMaster): the master is moved to each row in turn and put back after.
struct SubDetail {
    std::unique_ptr<Band> band;
    DataSet* data = nullptr;
    QStringList masterFields, detailFields;
    bool printIfEmpty = false;     // once, with empty fields, when a master row has no rows
    std::unique_ptr<Band> header;  // before each non-empty run (may be null)
    std::unique_ptr<Band> footer;  // after each run (may be null)
};

class Report {
public:
    Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    PageSetup page;
    QString documentName = QStringLiteral("Relatorio");  // the print job's name
    bool printFirstPageHeader = true;
    bool printLastPageFooter = true;
    QDateTime now;  // what the system date and time print; invalid: the moment of layout

    Band& pageHeader(double height);
    Band& title(double height);  // page one only, under the page header
    Band& columnHeader(double height);
    // The detail band: one per visible row of data (its filter applies), in order. A
    // detail without data prints once.
    Band& detail(double height, DataSet* data = nullptr);
    Group& addGroup(std::function<QVariant(const RowContext&)> key, double headerHeight,
                    double footerHeight);
    SubDetail& addSubDetail(double height, DataSet* data, const QStringList& masterFields = {},
                            const QStringList& detailFields = {});
    Band& summary(double height);  // after the last row
    Band& pageFooter(double height);

    Band* pageHeaderBand() const { return pageHeader_.get(); }
    Band* titleBand() const { return title_.get(); }
    Band* columnHeaderBand() const { return columnHeader_.get(); }
    Band* detailBand() const { return detail_.get(); }
    DataSet* detailData() const { return detailData_; }
    void setDetailData(DataSet* data) { detailData_ = data; }
    const std::deque<Group>& groups() const { return groups_; }
    const std::deque<SubDetail>& subDetails() const { return subDetails_; }
    Band* summaryBand() const { return summary_.get(); }
    Band* pageFooterBand() const { return pageFooter_.get(); }

    // The element with this name in any band; null when none.
    Element* find(const QString& name);
    // Sets the text of the named label (what a screen copies into a layout); false
    // when there is no such element.
    bool setText(const QString& name, const QString& text);

    // Whether any element needs the page count (so the pages are counted first).
    bool needsPageCount() const;

private:
    std::unique_ptr<Band> pageHeader_, title_, columnHeader_, detail_, summary_, pageFooter_;
    DataSet* detailData_ = nullptr;
    std::deque<Group> groups_;
    std::deque<SubDetail> subDetails_;
};

}  // namespace kit::report
