#pragma once
// Memory of decoded pictures: each picture lives in pages of its own, handed back to the system
// the moment its last QImage copy goes. A bounded frame cache that keeps replacing pictures then
// costs the memory of its pictures, without the growth of a fragmented heap.

#include <QImage>

namespace kadro {

// A new RGB32 picture (contents undefined); a normal QImage if no pages could be had.
QImage newPicture(int width, int height);

// Keeps the memory of closed decoders in the heap for the next ones (see the definition); called
// once before the first decoder is made.
void keepDecoderMemory();

} // namespace kadro
