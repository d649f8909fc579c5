"""ONNX export of the trained detector, checked against OpenCV's dnn module."""
from pathlib import Path

import cv2
import numpy as np
import onnx
import torch

from .model import ExportHead

OPSET = 12


def export(model, size, calibration, path):
    """Writes the calibrated model as ONNX (1 x 3 x size x size -> 1 x 7 x A)."""
    head = ExportHead(model, size, [c[0] for c in calibration], [c[1] for c in calibration])
    head.eval()
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    torch.onnx.export(head, torch.zeros(1, 3, size, size), str(path), opset_version=OPSET,
                      input_names=["images"], output_names=["output"], do_constant_folding=True)
    model = _without_shared_weights(onnx.load(str(path)))
    onnx.checker.check_model(model)
    onnx.save(model, str(path))
    return head


def _without_shared_weights(model):
    """PyTorch's exporter lets equal weights share one initializer through Identity nodes,
    which OpenCV 4.6 cannot read: each gets its own copy instead."""
    graph = model.graph
    weights = {w.name: w for w in graph.initializer}
    for node in [n for n in graph.node if n.op_type == "Identity" and n.input[0] in weights]:
        copy = onnx.TensorProto()
        copy.CopyFrom(weights[node.input[0]])
        copy.name = node.output[0]
        graph.initializer.append(copy)
        graph.node.remove(node)
    return model


def opencv_output(path, blob):
    """The model's output for an N=1 blob as OpenCV's dnn module computes it."""
    net = cv2.dnn.readNetFromONNX(str(path))
    net.setInput(np.ascontiguousarray(blob, dtype=np.float32))
    return net.forward()
