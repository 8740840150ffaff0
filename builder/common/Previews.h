// The builder's previews: the setup engine's own wizard and background forms, compiled
// into the builder, shown in preview mode so that nothing is stored and nothing installs.
#pragma once
#include "setup/model/InstClasses.h"

// The wizard opened on one page (a TTandrelDialogType ordinal).
void PreviewInstDialog(TTandrelBaseInstall& Project, int Page);
// The background screen; billboards turn over only when asked for and when there are some.
void PreviewBackground(TTandrelBaseInstall& Project, bool WithBillboards);
