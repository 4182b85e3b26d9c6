#include "data/Numbering.h"

#include <stdexcept>

namespace data {

const QList<Numbering>& numberings() {
    static const QList<Numbering> all = {
        {Numbered::Issue, "jourctrl", "magno_ctrl", "tranfile", "magno", {}, 0, true},
        {Numbered::Article, "artctrl", "artno_ctrl", "article", "article_no", {}, 7, false},
        {Numbered::Author, "authctrl", "idno_ctrl", "authname", "idno", {}, 7, false},
        {Numbered::Volume, "ctrlsumj", "regno_ctrl", "sum_journal", "regno", "B", 6, true},
        {Numbered::TitleJ, "recsetup", "pointer_ctrl1", "magazine", "Pointer", "J", 6, false},
        {Numbered::TitleI, "recsetup", "pointer_ctrl2", "magazine", "Pointer", "I", 6, false},
        {Numbered::TitleK, "recsetup", "pointer_ctrl3", "magazine", "Pointer", "K", 6, false},
        {Numbered::TitleL, "recsetup", "pointer_ctrl4", "magazine", "Pointer", "L", 6, false},
    };
    return all;
}

const Numbering& numbering(Numbered kind) {
    for (const Numbering& n : numberings())
        if (n.kind == kind)
            return n;
    throw std::logic_error("no numbering for this kind of record");
}

const Numbering& titleNumbering(int series) {
    if (series < 1 || series > 4)
        throw std::invalid_argument("series must be 1 to 4");
    return numbering(Numbered(int(Numbered::TitleJ) + series - 1));
}

} // namespace data
