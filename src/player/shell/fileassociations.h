#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

#include "player/shell/mimeappslist.h"

// Which media types and which URL scheme the desktop opens with the player: the association
// dialog's check boxes and what they stand for, and the player's hold on the "mms" scheme.
namespace kivo::shell {

inline constexpr char kMmsType[] = "x-scheme-handler/mms";

// One check box of the association dialog: its control id and label, the title of the group
// box it sits in, and the MIME types it makes the player the default program of.
struct CAssociationBox {
    int id;
    QString label;
    QString group;
    QStringList types;
};

// The boxes in the dialog's order; the boxes of one group follow each other.
const std::vector<CAssociationBox> &associationBoxes();

// Checked state by box id.
using CAssociationStates = std::map<int, bool>;

// A box is checked when the player is the default of all its types.
CAssociationStates currentAssociations(const CMimeAppsList &list);

// Takes over the types of the checked boxes and gives back those of the others, in one edit. A
// type that several boxes share is taken over when any of them is checked and given back only
// when none is; a box missing from the states counts as unchecked. 1 or 0 as
// CMimeAppsList::apply.
int applyAssociations(const CMimeAppsList &list, const CAssociationStates &states);

// The player's hold on the "mms" scheme while the object lives: constructing it takes the
// scheme over, destroying it gives the scheme back. A player that ends without destroying it
// (a crash) leaves the scheme with the player and the backup in place; the next start's
// take-over keeps that backup, and its end restores it.
class CMmsTakeover {
public:
    explicit CMmsTakeover(CMimeAppsList list = CMimeAppsList());
    ~CMmsTakeover();
    CMmsTakeover(const CMmsTakeover &) = delete;
    CMmsTakeover &operator=(const CMmsTakeover &) = delete;

    // What the take-over gave (CMimeAppsList::apply).
    int result() const { return m_result; }

private:
    CMimeAppsList m_list;
    int m_result;
};

}  // namespace kivo::shell
