"""The dataset reader and the by-source split, on a tiny folder made here."""
import cv2
import numpy as np
import pytest

from tevtrain.sources import (LabelError, dataset_samples, read_labels, source_of,
                              split_by_source)


def write_image(path, width=40, height=20):
    path.parent.mkdir(parents=True, exist_ok=True)
    cv2.imwrite(str(path), np.full((height, width, 3), 90, np.uint8))


@pytest.fixture
def folder(tmp_path):
    """Two datasets; boxes of both classes, a class the model does not learn, negatives."""
    root = tmp_path / "data"
    a = root / "alpha"
    write_image(a / "images/train/Frame_No3_video_1_jpg.rf.abc123.jpg")
    (a / "labels/train").mkdir(parents=True)
    (a / "labels/train/Frame_No3_video_1_jpg.rf.abc123.txt").write_text(
        "0 0.5 0.5 0.5 0.5\n1 0.25 0.25 0.5 0.5\n7 0.5 0.5 0.1 0.1\n")
    write_image(a / "images/valid/Frame_No9_video_1_jpg.rf.def456.jpg")
    (a / "labels/valid").mkdir(parents=True)
    (a / "labels/valid/Frame_No9_video_1_jpg.rf.def456.txt").write_text("")
    b = root / "beta"
    write_image(b / "images/train/kitchen_mp4-12_jpg.rf.0f0f.jpg")  # no label file at all
    (root / "notes").mkdir()  # not a dataset
    return root


def test_labels_map_dataset_classes_and_drop_the_others(tmp_path):
    path = tmp_path / "x.txt"
    path.write_text("0 0.5 0.5 0.2 0.4\n1 0.1 0.2 0.3 0.4\n3 0.5 0.5 0.5 0.5\n\n")
    labels = read_labels(path)
    assert labels[:, 0].tolist() == [0, 1]
    assert labels[0, 1:].tolist() == pytest.approx([0.5, 0.5, 0.2, 0.4])


@pytest.mark.parametrize("line", ["0 0.5 0.5 0.2", "0 a 0.5 0.2 0.2", "0.5 0.5 0.5 0.2 0.2"])
def test_malformed_label_lines_name_the_file_and_line(tmp_path, line):
    path = tmp_path / "bad.txt"
    path.write_text("0 0.5 0.5 0.2 0.2\n" + line + "\n")
    with pytest.raises(LabelError, match=r"bad\.txt:2"):
        read_labels(path)


def test_samples_have_pixel_boxes_sources_and_negatives(folder):
    samples = {s.path.split("/")[-1]: s for s in dataset_samples(folder)}
    assert len(samples) == 3
    boxed = samples["Frame_No3_video_1_jpg.rf.abc123.jpg"]
    assert boxed.origin == "real"
    assert boxed.source == "alpha/video_1"
    # 40 x 20 image: fire centred, half the size; smoke in the top-left quarter.
    assert boxed.boxes.tolist() == [[0, 10, 5, 30, 15], [1, 0, 0, 20, 10]]
    for name in ("Frame_No9_video_1_jpg.rf.def456.jpg", "kitchen_mp4-12_jpg.rf.0f0f.jpg"):
        assert samples[name].origin == "real-negative"
        assert samples[name].boxes.shape == (0, 5)
    assert samples["kitchen_mp4-12_jpg.rf.0f0f.jpg"].source == "beta/kitchen_mp4"


@pytest.mark.parametrize("stem, source", [
    ("Frame_No3480_video_12_jpg.rf.0123abcd", "video_12"),
    ("youtube-7_jpg.rf.99", "youtube-7"),
    ("fire1_mp4-24_jpg.rf.b4cf49", "fire1_mp4"),
    ("img_931_jpg.rf.aa", "img_931"),
    ("plain", "plain"),
])
def test_source_is_the_video_or_clip_an_image_came_from(stem, source):
    assert source_of(stem) == source


def make_samples(sources):
    from tevtrain.sources import Sample
    return [Sample(path=f"{s}-{i}", boxes=np.zeros((0, 5), np.float32), source=s, origin="real")
            for s, count in sources.items() for i in range(count)]


def test_split_keeps_every_source_on_one_side_and_is_repeatable():
    sources = {f"metu/video_{i}": 10 + 7 * i for i in range(12)}
    sources.update({f"metu/youtube-{i}": 3 for i in range(40)})
    samples = make_samples(sources)
    train, valid = split_by_source(samples, 0.2, seed=3)
    assert len(train) + len(valid) == len(samples)
    assert not {s.source for s in train} & {s.source for s in valid}
    assert 0.1 < len(valid) / len(samples) < 0.35
    # Both kinds of source are held out.
    assert any("video_" in s.source for s in valid) and any("youtube" in s.source for s in valid)
    again = split_by_source(samples, 0.2, seed=3)[1]
    assert [s.path for s in again] == [s.path for s in valid]
    assert [s.path for s in split_by_source(samples, 0.2, seed=4)[1]] != [s.path for s in valid]
