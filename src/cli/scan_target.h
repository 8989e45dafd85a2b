#pragma once
// What kesp-scan's FOLDER names: a folder of the host, or a folder in a disk image. A name that
// exists on the host is taken for what it is there; IMAGE[:N][:/PATH] is read only where it
// does not.
#include <string>

#include "images/image_volumes.h"

namespace kesp {

struct ScanTarget {
    // As the run writes it: "/data/photos", "/data/card.img:/", "/data/card.img:2:/DCIM".
    std::string folder;
    std::string problem; // French; empty when `folder` may be scanned
    // With a problem: kExitFailed when the argument names nothing to scan (missing, neither a
    // folder nor an image, a partition that is not in the table, a folder not in the volume),
    // kExitRefused when it names an image or a partition that cannot be read as a FAT volume.
    int status = 0;
    std::string image; // the image file or device read, when `folder` is in one
};

// `images` null: the build reads no images, FOLDER is a host folder. An image named is opened
// into `images`, where the run's folder and volume queries then find it.
ScanTarget resolveScanTarget(const std::string& argument, ImageVolumes* images);

// --partitions IMAGE: the image made absolute, or why the name is no image file or device
// (kExitFailed).
ScanTarget resolveImageFile(const std::string& argument);

} // namespace kesp
