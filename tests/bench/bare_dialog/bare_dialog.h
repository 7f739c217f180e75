/* Resource ids of the bare dialog program. */
#ifndef BARE_DIALOG_H
#define BARE_DIALOG_H

#define IDD_BARE 101

#endif
