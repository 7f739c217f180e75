/*
 * Resource ids of cdlaunch.
 */
#ifndef VELMIRE_CDLAUNCH_RESOURCE_H
#define VELMIRE_CDLAUNCH_RESOURCE_H

/* Application icon */
#define IDI_CDLAUNCH 101

#endif
