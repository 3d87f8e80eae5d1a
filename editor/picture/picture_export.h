// "Export As &Picture" of the document window: copies the selected Telugu
// text and its formatting into the picture window, shows it, and saves
// straight away when the document window names a picture file (the mail
// command does).
#pragma once

namespace vrayu {

class DocumentWindow;

void ExportPicture(DocumentWindow& document);

// Attaches ExportPicture to "mnuFileSaveBMP" of every document window made
// from now on.
void RegisterPictureExport();

}  // namespace vrayu
