// Downloads and uploads started from the remote pane.
#include "session/RemotePane.h"

void TRemotePane::itmSrvFilesDownloadClick() {}

void TRemotePane::itmSrvFilesDownloadAsClick() {}

void TRemotePane::lvServerFilesDragDrop() {}
