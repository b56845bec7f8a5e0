#include "kit/report/page.h"

namespace kit::report {

std::vector<const PageItem*> Page::texts(const QString& text, bool contains) const {
    std::vector<const PageItem*> found;
    for (const PageItem& it : items)
        if (it.kind == PageItem::Kind::Text &&
            (contains ? it.text.contains(text) : it.text == text))
            found.push_back(&it);
    return found;
}

const PageItem* Page::text(const QString& text, bool contains) const {
    for (const PageItem& it : items)
        if (it.kind == PageItem::Kind::Text &&
            (contains ? it.text.contains(text) : it.text == text))
            return &it;
    return nullptr;
}

const PageItem* Page::named(const QString& name) const {
    for (const PageItem& it : items)
        if (it.name == name)
            return &it;
    return nullptr;
}

}  // namespace kit::report
