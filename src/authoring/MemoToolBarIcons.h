#pragma once
// The pictures of the memo editor's tool bar, drawn at every screen scale so they stay sharp.

#include <QIcon>

namespace kadro {

enum class MemoIcon { Bold, Italic, Underline, AlignLeft, AlignCentre, AlignRight, TextColour };

QIcon memoToolBarIcon(MemoIcon icon);

} // namespace kadro
