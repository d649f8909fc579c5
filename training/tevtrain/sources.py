"""Labelled images and how they are split.

A sample is one image with its boxes (model classes, pixel corners) and the source it came
from. Real images come from dataset folders laid out as

    <root>/<dataset>/images/{train,valid}/<stem>.jpg
    <root>/<dataset>/labels/{train,valid}/<stem>.txt   YOLO lines: class cx cy w h (0..1)

with dataset class 0 fire and 1 smoke; an empty label file is a negative image. The given
splits leak (frames of one video on both sides), so the validation split is made anew by
source: every image of a source lands on the same side.
"""
import hashlib
import re
from dataclasses import dataclass, field
from pathlib import Path

import numpy as np

# Dataset class -> model class (0 fire, 1 smoke; exported as 0 and 2).
DATASET_CLASSES = {0: 0, 1: 1}
CLASS_NAMES = ("fire", "smoke")
IMAGE_SUFFIXES = (".jpg", ".jpeg", ".png")


@dataclass
class Sample:
    path: str                 # image file, or "" when image holds the pixels
    boxes: np.ndarray         # n x 5: class, x1, y1, x2, y2 in pixels of the image
    source: str               # images of one source stay on one side of the split
    origin: str               # "real", "real-negative" or "synthetic"
    image: np.ndarray = field(default=None, repr=False)  # BGR, when not read from path


class LabelError(ValueError):
    pass


def read_labels(path):
    """YOLO label lines as an n x 5 array (model class, cx, cy, w, h normalised).

    Classes the model does not learn are dropped; a malformed line raises LabelError
    naming the file and line."""
    rows = []
    text = Path(path).read_text() if Path(path).exists() else ""
    for number, line in enumerate(text.splitlines(), 1):
        parts = line.split()
        if not parts:
            continue
        try:
            values = [float(v) for v in parts]
        except ValueError:
            raise LabelError(f"{path}:{number}: not a number in {line!r}") from None
        if len(values) != 5 or values[0] != int(values[0]):
            raise LabelError(f"{path}:{number}: expected 'class cx cy w h', got {line!r}")
        cls = DATASET_CLASSES.get(int(values[0]))
        if cls is None:
            continue
        rows.append([cls] + values[1:])
    return np.array(rows, dtype=np.float32).reshape(-1, 5)


def to_corners(labels, width, height):
    """Normalised centre boxes to pixel corners, clipped to the image; empty boxes dropped."""
    out = np.zeros((len(labels), 5), dtype=np.float32)
    out[:, 0] = labels[:, 0]
    out[:, 1] = np.clip((labels[:, 1] - labels[:, 3] / 2) * width, 0, width)
    out[:, 2] = np.clip((labels[:, 2] - labels[:, 4] / 2) * height, 0, height)
    out[:, 3] = np.clip((labels[:, 1] + labels[:, 3] / 2) * width, 0, width)
    out[:, 4] = np.clip((labels[:, 2] + labels[:, 4] / 2) * height, 0, height)
    keep = (out[:, 3] - out[:, 1] >= 1) & (out[:, 4] - out[:, 2] >= 1)
    return out[keep]


_EXPORT_SUFFIX = re.compile(r"_(jpg|jpeg|png)\.rf\.[0-9a-f]+$")
_FRAME_PREFIX = re.compile(r"^Frame_No\d+_")
_VIDEO_FRAME = re.compile(r"(_mp4|_avi|_mov)-\d+$")


def source_of(stem):
    """The source an exported image came from: the export's hash and the frame number go,
    so that the frames of one video share a name ("Frame_No12_video_3" -> "video_3",
    "fire1_mp4-24" -> "fire1_mp4", "youtube-7" stays)."""
    name = _EXPORT_SUFFIX.sub("", stem)
    name = _FRAME_PREFIX.sub("", name)
    return _VIDEO_FRAME.sub(r"\1", name)


def _stratum(source):
    """Kinds of source that are split separately, so each kind is on both sides."""
    if source.startswith("video_"):
        return "video"
    return re.sub(r"[-_]?\d+$", "", source) or "other"


def dataset_samples(root):
    """Every labelled image under root (all datasets, both given splits), with pixel boxes.

    The image size is read from the file header once here, so boxes are in pixels."""
    import cv2
    samples = []
    for dataset in sorted(p for p in Path(root).iterdir() if (p / "images").is_dir()):
        for split in ("train", "valid"):
            images = dataset / "images" / split
            if not images.is_dir():
                continue
            for image in sorted(images.iterdir()):
                if image.suffix.lower() not in IMAGE_SUFFIXES:
                    continue
                labels = read_labels(dataset / "labels" / split / (image.stem + ".txt"))
                pixels = cv2.imread(str(image), cv2.IMREAD_COLOR)
                if pixels is None:
                    raise LabelError(f"{image}: not a readable image")
                height, width = pixels.shape[:2]
                boxes = to_corners(labels, width, height)
                samples.append(Sample(
                    path=str(image), boxes=boxes, image=pixels,
                    source=f"{dataset.name}/{source_of(image.stem)}",
                    origin="real" if len(boxes) else "real-negative"))
    return samples


def source_rank(source, seed):
    """A seeded order of sources, the same on every machine."""
    return hashlib.sha1(f"{seed}:{source}".encode()).hexdigest()


def split_by_source(samples, fraction, seed):
    """(train, valid): about `fraction` of each stratum's images in valid, whole sources only.

    Sources are taken in a seeded hash order until the stratum's share is reached, so the
    split is the same on every machine and a source is never on both sides."""
    by_source = {}
    for sample in samples:
        by_source.setdefault(sample.source, []).append(sample)
    strata = {}
    for source in by_source:
        dataset = source.split("/", 1)[0]
        strata.setdefault((dataset, _stratum(source.split("/", 1)[-1])), []).append(source)
    valid_sources = set()
    for sources in strata.values():
        total = sum(len(by_source[s]) for s in sources)
        taken = 0
        for source in sorted(sources, key=lambda s: source_rank(s, seed)):
            if taken >= fraction * total or len(sources) < 2:
                break
            if taken + len(by_source[source]) > 2 * fraction * total and taken > 0:
                continue
            valid_sources.add(source)
            taken += len(by_source[source])
    train = [s for s in samples if s.source not in valid_sources]
    valid = [s for s in samples if s.source in valid_sources]
    return train, valid
