"""Frames of a scene generator clip with the boxes of its ground truth, on a clip made here."""
import json

import cv2
import numpy as np

from tevtrain.synthetic import clip_samples


def test_every_nth_frame_comes_with_its_fire_and_smoke_boxes_scaled(tmp_path):
    video = tmp_path / "clip.avi"
    writer = cv2.VideoWriter(str(video), cv2.VideoWriter_fourcc(*"MJPG"), 10, (64, 48))
    for _ in range(5):
        writer.write(np.full((48, 64, 3), 80, np.uint8))
    writer.release()
    truth = tmp_path / "clip.truth.json"
    truth.write_text(json.dumps({"events": [
        {"class": "fire", "boxes": [{"frame": 2, "box": [10, 8, 20, 16]}]},
        {"class": "smoke", "boxes": [{"frame": 2, "box": [0, 0, 4, 4]},
                                     {"frame": 3, "box": [1, 1, 4, 4]}]},
        {"class": "person", "boxes": [{"frame": 2, "box": [30, 30, 8, 8]}]},
    ]}))
    samples = clip_samples(video, truth, step=2, longest=32, source="scene/clip")
    assert [s.image.shape for s in samples] == [(24, 32, 3)] * 3  # frames 0, 2 and 4, halved
    assert [len(s.boxes) for s in samples] == [0, 2, 0]
    assert samples[1].boxes.tolist() == [[0, 5, 4, 15, 12], [1, 0, 0, 2, 2]]
    assert all(s.origin == "synthetic" and s.source == "scene/clip" for s in samples)
