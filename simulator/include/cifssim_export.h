/* Everything in the simulators is hidden unless marked: the platform calls and
 * the control functions are their whole surface. */
#ifndef CIFSSIM_EXPORT_H
#define CIFSSIM_EXPORT_H
#define CIFSSIM_EXPORT __attribute__((visibility("default")))
#endif
