"""The exported model: what OpenCV's dnn module computes equals what PyTorch computes, and
the export's calibrated scores and boxes are the training model's, decoded."""
import numpy as np
import torch

from tevtrain import export
from tevtrain.model import Detector, ExportHead, anchor_points, distances_to_boxes

SIZE = 96


def trained_looking_model():
    torch.manual_seed(1)
    model = Detector()
    # Non-trivial batch-norm statistics, so that their folding is checked too.
    model.train()
    with torch.no_grad():
        for _ in range(3):
            model(torch.rand(4, 3, SIZE, SIZE))
    return model.eval()


def test_opencv_and_pytorch_agree_on_the_exported_model(tmp_path):
    model = trained_looking_model()
    path = tmp_path / "detector.onnx"
    head = export.export(model, SIZE, [(1.7, -0.4), (0.8, 0.3)], path)
    blob = torch.rand(1, 3, SIZE, SIZE)
    with torch.no_grad():
        expected = head(blob).numpy()
    actual = export.opencv_output(path, blob.numpy())
    assert actual.shape == (1, 7, (SIZE // 8) ** 2 + (SIZE // 16) ** 2 + (SIZE // 32) ** 2)
    np.testing.assert_allclose(actual[0, :4], expected[0, :4], atol=2e-3 * SIZE)
    np.testing.assert_allclose(actual[0, 4:], expected[0, 4:], atol=2e-3)


def test_export_rows_are_boxes_then_calibrated_fire_other_smoke():
    model = trained_looking_model()
    scale, shift = [1.7, 0.8], [-0.4, 0.3]
    blob = torch.rand(1, 3, SIZE, SIZE)
    with torch.no_grad():
        rows = ExportHead(model, SIZE, scale, shift).eval()(blob)[0].T
        logits, distances = model(blob)
    points, _ = anchor_points(SIZE)
    boxes = distances_to_boxes(points, distances[0])
    centre = (boxes[:, :2] + boxes[:, 2:]) / 2
    size = boxes[:, 2:] - boxes[:, :2]
    torch.testing.assert_close(rows[:, :2], centre, atol=1e-3, rtol=1e-4)
    torch.testing.assert_close(rows[:, 2:4], size, atol=1e-3, rtol=1e-4)
    torch.testing.assert_close(rows[:, 4], torch.sigmoid(logits[0, :, 0] * 1.7 - 0.4),
                               atol=1e-5, rtol=1e-4)
    assert torch.all(rows[:, 5] < 1e-6)  # "other" is never reported
    torch.testing.assert_close(rows[:, 6], torch.sigmoid(logits[0, :, 1] * 0.8 + 0.3),
                               atol=1e-5, rtol=1e-4)
