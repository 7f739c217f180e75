/*
 * Resource ids of launch.
 */
#ifndef VELMIRE_LAUNCH_RESOURCE_H
#define VELMIRE_LAUNCH_RESOURCE_H

/* Application icon */
#define IDI_LAUNCH 101

#endif
