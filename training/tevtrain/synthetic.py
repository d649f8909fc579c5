"""Frames of the project's own synthetic scenes, and real fire-free footage.

tev-scene writes a clip and its ground truth; every `step`-th frame becomes a sample with
the fire and smoke boxes of that frame (none for the fire-free scenarios). The frames are
kept in memory only. Real fire-free footage comes from the sample videos and pictures that
Debian's opencv-doc installs.
"""
import json
import subprocess
from pathlib import Path

import cv2
import numpy as np

from .sources import Sample

FIRE_FREE = ("lamp", "blinking-light", "sunset", "sun-glare", "floor-reflection", "no-fire",
             "orange-person", "red-car", "flickering-screen")
WITH_FIRE = ("fire", "small-fire", "large-fire", "edge-fire", "corner-fire", "smoke")
TRUTH_CLASSES = {"fire": 0, "smoke": 1}
OPENCV_SAMPLES = Path("/usr/share/doc/opencv-doc/examples/data")


def shrink(image, longest):
    """The image scaled down so that its longest side is at most `longest`, and the scale."""
    scale = min(1.0, longest / max(image.shape[:2]))
    if scale < 1.0:
        image = cv2.resize(image, None, fx=scale, fy=scale, interpolation=cv2.INTER_AREA)
    return image, scale


def every_nth_frame(video, step):
    """(index, BGR frame) of every step-th frame of a video."""
    capture = cv2.VideoCapture(str(video))
    frame = 0
    try:
        while True:
            ok, image = capture.read()
            if not ok:
                return
            if frame % step == 0:
                yield frame, image
            frame += 1
    finally:
        capture.release()


def clip_samples(video, truth, step, longest, source):
    """Every step-th frame of a tev-scene clip with its fire and smoke boxes."""
    truth = json.loads(Path(truth).read_text())
    boxes_at = {}
    for event in truth.get("events", []):
        cls = TRUTH_CLASSES.get(event.get("class"))
        if cls is None:
            continue
        for entry in event.get("boxes", []):
            x, y, w, h = entry["box"]
            boxes_at.setdefault(entry["frame"], []).append([cls, x, y, x + w, y + h])
    samples = []
    for frame, image in every_nth_frame(video, step):
        image, scale = shrink(image, longest)
        boxes = np.array(boxes_at.get(frame, []), dtype=np.float32).reshape(-1, 5)
        boxes[:, 1:] *= scale
        samples.append(Sample(path="", boxes=boxes, source=source, origin="synthetic",
                              image=image))
    return samples


def scene_samples(tev_scene, folder, scenarios, seeds, sizes, seconds, step, longest):
    """Samples of tev-scene clips: every scenario x seed x size, written into folder."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    samples = []
    for scenario in scenarios:
        for seed in seeds:
            for width, height in sizes:
                name = f"{scenario}-{width}x{height}-{seed}"
                video, truth = folder / f"{name}.avi", folder / f"{name}.truth.json"
                if not truth.exists():
                    subprocess.run([str(tev_scene), scenario, "--out", str(folder), "--name", name,
                                    "--width", str(width), "--height", str(height),
                                    "--seconds", str(seconds), "--seed", str(seed),
                                    "--flame-at", "1"],
                                   check=True, stdout=subprocess.DEVNULL)
                samples += clip_samples(video, truth, step, longest, f"scene/{name}")
    return samples


def video_negatives(path, step, longest):
    """Every step-th frame of a fire-free video."""
    samples = []
    for _, image in every_nth_frame(path, step):
        image, _ = shrink(image, longest)
        samples.append(Sample(path="", boxes=np.zeros((0, 5), np.float32),
                              source=f"opencv-doc/{Path(path).name}", origin="real-negative",
                              image=image))
    return samples


def picture_negatives(paths, longest):
    samples = []
    for path in paths:
        image = cv2.imread(str(path), cv2.IMREAD_COLOR)
        if image is None or min(image.shape[:2]) < 64:
            continue
        image, _ = shrink(image, longest)
        samples.append(Sample(path=str(path), boxes=np.zeros((0, 5), np.float32),
                              source=f"opencv-doc/{Path(path).name}", origin="real-negative",
                              image=image))
    return samples
